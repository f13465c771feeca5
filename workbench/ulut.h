#pragma once
// The look-up tables window: three 256-entry channel tables (red, green, blue by grey level) chosen
// among fourteen built-in tables or read from a ".LUT" text file, shown as four colour strips.
// Created with the other windows; no command shows it.

#include <array>
#include <cstdint>
#include <string>

#include "toolkit/graphics/types.h"
#include "toolkit/ui/file_dialogs.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/image.h"
#include "toolkit/ui/radiogroup.h"
#include "toolkit/ui/stdctrls.h"

class TLut : public TForm {
 public:
  explicit TLut(TComponent* owner);

  TCheckBox* CheckBox1;
  TRadioGroup* RLUT;
  TLabel* Label1;
  TLabel* Label2;
  TLabel* Label3;
  TLabel* Label4;
  TImage* ImageR;
  TImage* ImageG;
  TImage* ImageB;
  TImage* ImageSum;
  TButton* Button2;
  TButton* Button1;
  TOpenDialog* OpenDialog1;

  std::array<uint8_t, 256> FRed{};
  std::array<uint8_t, 256> FGreen{};
  std::array<uint8_t, 256> FBlue{};
  // red | green shl 8 | blue shl 16 of each level.
  std::array<TColor, 256> FColors{};

  // Built-in table 0 to 13 into the channels (any other index leaves them), then the colours.
  void SetLut(int Index);
  // Reads a custom table: 256 lines of red, green and blue separated by single blanks, each clamped to
  // 0..255. A file that cannot be opened changes nothing; a line that does not hold three integers
  // raises EConvertError, the levels before it kept.
  void LoadLutFile(const std::string& FileName);
  void DrawLutPreview();

  void FormCreate(TObject* Sender);
  void FormActivate(TObject* Sender);
  void CheckBox1Click(TObject* Sender);
  void RLUTClick(TObject* Sender);
  void Button1Click(TObject* Sender);
  void BLutOkClick(TObject* Sender);

 private:
  void RebuildColor(int Level);
};

extern TLut* Lut;
