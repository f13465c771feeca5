#pragma once
// The "Info Image" window: the size and pixel size of the picture in the main window's view, the
// chosen point with its luminance, and the creation of a plain one-colour picture (a mask) of a chosen
// size, saved to a file that can serve as a batch operation's reference. "Apply" and "Create.." hand
// the point to whoever opened the window last (its notification).

#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/graphics/bitmap.h"
#include "toolkit/ui/buttons.h"
#include "toolkit/ui/extdlgs.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/stdctrls.h"

class TFormCreateImg : public TForm {
 public:
  explicit TFormCreateImg(TComponent* owner);

  TLabel* Label1;
  TEdit* EditW;
  TLabel* Label2;
  TEdit* EditH;
  TLabel* Label3;
  TEdit* EditPF;
  TLabel* Label5;
  TEdit* EditPosX;
  TEdit* EditPosY;
  TEdit* EditVal;
  TButton* Button1;
  TGroupBox* GroupBox1;
  TLabel* Label4;
  TSpeedButton* SpeedButton1;
  TEdit* EditC;
  TBitBtn* BitBtnCreate;
  TBitBtn* BitBtnClose;
  TSavePictureDialog* SavePictureDialog1;
  TColorDialog* ColorDialog1;

  int32_t FImageWidth = 1;
  int32_t FImageHeight = 1;
  int32_t FBits = 24;
  TColor FMaskColor = 0;
  int32_t FPosX = -1;
  int32_t FPosY = -1;
  int32_t FValue = -1;
  // The file under which the last mask was saved.
  std::string FFileName;
  // Run by "Apply" and "Create.."; the last opener installs its own.
  std::function<void()> FOnApply;

  // Each stores the value and shows it in its edit.
  void SetImageWidth(int32_t Value);
  void SetImageHeight(int32_t Value);
  void SetPosX(int32_t Value);
  void SetPosY(int32_t Value);
  void SetValue(int32_t Value);
  void SetMaskColor(TColor Value);
  // Stores and shows the format's bits per pixel (-1 for a format without a fixed depth).
  void SetPixelFormat(TPixelFormat Value);
  TPixelFormat GetPixelFormat();
  // The width, height and pixel format of the picture (nothing changes for none).
  void TakePictureFacts(const TBitmap* Picture);

  void FormCreate(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void BitBtnCreateClick(TObject* Sender);
  void Button1Click(TObject* Sender);
  void BitBtnCloseClick(TObject* Sender);
};

extern TFormCreateImg* FormCreateImg;
