#include "workbench/ucreateimg.h"

#include <memory>

#include <QApplication>
#include <QStyle>

#include "toolkit/core/conversions.h"
#include "toolkit/core/format.h"
#include "toolkit/ui/application.h"
#include "workbench/form_layout.h"
#include "workbench/working_bitmap.h"

TFormCreateImg* FormCreateImg = nullptr;

namespace {

int32_t IntegerIn(const TEdit& edit, int32_t otherwise) {
  return StrToIntDef(edit.Text(), otherwise);
}

}  // namespace

TFormCreateImg::TFormCreateImg(TComponent* owner) : TForm(owner) {
  SetName("FormCreateImg");
  SetCaption("Info Image");
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  setFixedSize(306, 222);

  Label1 = PlaceControl<TLabel>(this, this, "Label1", 8, 12, 60, 13, "Width:");
  EditW = PlaceControl<TEdit>(this, this, "EditW", 96, 8, 70, 21);
  Label2 = PlaceControl<TLabel>(this, this, "Label2", 8, 38, 60, 13, "Height:");
  EditH = PlaceControl<TEdit>(this, this, "EditH", 96, 34, 70, 21);
  Label3 = PlaceControl<TLabel>(this, this, "Label3", 8, 64, 60, 13, "Pixel Size:");
  EditPF = PlaceControl<TEdit>(this, this, "EditPF", 96, 60, 70, 21);
  Label5 = PlaceControl<TLabel>(this, this, "Label5", 8, 90, 90, 13, "Mouse X / Y/L: ");
  EditPosX = PlaceControl<TEdit>(this, this, "EditPosX", 100, 86, 52, 21);
  EditPosY = PlaceControl<TEdit>(this, this, "EditPosY", 156, 86, 52, 21);
  EditVal = PlaceControl<TEdit>(this, this, "EditVal", 212, 86, 40, 21);
  Button1 = PlaceControl<TButton>(this, this, "Button1", 256, 85, 42, 23, "Apply");
  GroupBox1 = PlaceControl<TGroupBox>(this, this, "GroupBox1", 8, 118, 290, 62, "Mask:");
  Label4 = PlaceControl<TLabel>(this, GroupBox1, "Label4", 8, 28, 30, 13, "Color");
  SpeedButton1 = PlaceControl<TSpeedButton>(this, GroupBox1, "SpeedButton1", 44, 24, 23, 22);
  SpeedButton1->setIcon(QApplication::style()->standardIcon(QStyle::SP_DialogResetButton));
  EditC = PlaceControl<TEdit>(this, GroupBox1, "EditC", 72, 24, 80, 21);
  BitBtnCreate = PlaceControl<TBitBtn>(this, GroupBox1, "BitBtnCreate", 176, 22, 100, 25, "Create..");
  BitBtnClose = PlaceControl<TBitBtn>(this, this, "BitBtnClose", 212, 190, 86, 25, "Close");
  SavePictureDialog1 = AddComponent<TSavePictureDialog>(this, "SavePictureDialog1");
  SavePictureDialog1->Filter = SavedPictureFilter();
  ColorDialog1 = AddComponent<TColorDialog>(this, "ColorDialog1");

  OnCreate = Event(this, &TFormCreateImg::FormCreate);
  SpeedButton1->OnClick = Event(this, &TFormCreateImg::SpeedButton1Click);
  BitBtnCreate->OnClick = Event(this, &TFormCreateImg::BitBtnCreateClick);
  Button1->OnClick = Event(this, &TFormCreateImg::Button1Click);
  BitBtnClose->OnClick = Event(this, &TFormCreateImg::BitBtnCloseClick);
}

void TFormCreateImg::SetImageWidth(int32_t Value) {
  FImageWidth = Value;
  EditW->SetText(Format("%d", {Value}));
}

void TFormCreateImg::SetImageHeight(int32_t Value) {
  FImageHeight = Value;
  EditH->SetText(Format("%d", {Value}));
}

void TFormCreateImg::SetPosX(int32_t Value) {
  FPosX = Value;
  EditPosX->SetText(Format("%d", {Value}));
}

void TFormCreateImg::SetPosY(int32_t Value) {
  FPosY = Value;
  EditPosY->SetText(Format("%d", {Value}));
}

void TFormCreateImg::SetValue(int32_t Value) {
  FValue = Value;
  EditVal->SetText(Format("%d", {Value}));
}

void TFormCreateImg::SetMaskColor(TColor Value) {
  FMaskColor = Value;
  EditC->SetText(Format("%8.8X", {Value}));
}

void TFormCreateImg::SetPixelFormat(TPixelFormat Value) {
  FBits = PixelFormatBits(Value);
  EditPF->SetText(Format("%d", {FBits}));
}

TPixelFormat TFormCreateImg::GetPixelFormat() {
  return BitsPixelFormat(FBits);
}

void TFormCreateImg::TakePictureFacts(const TBitmap* Picture) {
  if (!Picture) return;
  SetImageWidth(Picture->Width());
  SetImageHeight(Picture->Height());
  SetPixelFormat(Picture->PixelFormat());
}

void TFormCreateImg::FormCreate(TObject*) {
  FOnApply = nullptr;
  SetPixelFormat(pf24bit);
  EditPF->SetEnabled(false);
  SetImageWidth(1);
  SetImageHeight(1);
  SetMaskColor(0);
  SetPosX(-1);
  SetPosY(-1);
  SetValue(-1);
  FFileName.clear();
  SavePictureDialog1->FileName = "new.bmp";
}

void TFormCreateImg::SpeedButton1Click(TObject*) {
  if (ColorDialog1->Execute()) SetMaskColor(ColorDialog1->Color);
  FMaskColor = ColorDialog1->Color;  // a cancelled dialog keeps its last confirmed colour
}

void TFormCreateImg::Button1Click(TObject*) {
  FPosX = IntegerIn(*EditPosX, 0);
  FPosY = IntegerIn(*EditPosY, 0);
  FValue = IntegerIn(*EditVal, 0);
  if (FOnApply) FOnApply();
}

void TFormCreateImg::BitBtnCreateClick(TObject*) {
  FBits = IntegerIn(*EditPF, 24);
  FImageWidth = IntegerIn(*EditW, 0);
  FImageHeight = IntegerIn(*EditH, 0);
  FPosX = IntegerIn(*EditPosX, 0);
  FPosY = IntegerIn(*EditPosY, 0);
  FValue = IntegerIn(*EditVal, 0);
  // An empty or oversized mask is refused before anything is asked or made; the window stays open for
  // another size.
  if (FImageWidth < 1 || FImageHeight < 1 ||
      !TBitmap::SizeWithinLimit(FImageWidth, FImageHeight, GetPixelFormat())) {
    Application->MessageBox(
        Format("Cannot create a mask of %d x %d pixels: width and height must be at least 1, and the "
               "picture at most 4 GB.",
               {FImageWidth, FImageHeight}),
        Caption(), MB_OK | MB_ICONSTOP);
    return;
  }
  if (SavePictureDialog1->Execute()) {
    TBitmap mask;
    mask.SetPixelFormat(GetPixelFormat());  // a depth of no format raises the invalid-format error
    mask.SetSize(FImageWidth, FImageHeight);
    FillBitmap(mask, FMaskColor);
    std::string name = SavePictureDialog1->FileName;
    // A mask that cannot be written raises the file's error, as JPEG as well as BMP: the window stays
    // open and its opener keeps what it had (the batch window its reference name).
    WritePicture(mask, name, "new.bmp", mask.PixelFormat());
    FFileName = name;
  }
  if (FOnApply) FOnApply();
  Close();
}

void TFormCreateImg::BitBtnCloseClick(TObject*) {
  Close();
}
