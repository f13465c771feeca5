#include "workbench/uformparam.h"

#include <QApplication>
#include <QStyle>

#include "workbench/form_layout.h"

TFormParams* FormParams = nullptr;

TFormParams::TFormParams(TComponent* owner) : TForm(owner) {
  SetName("FormParams");
  SetCaption("FormParams");
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  Position = TPosition::poMainFormCenter;
  setFixedSize(330, 96);

  Label1 = PlaceControl<TLabel>(this, this, "Label1", 8, 12, 60, 13, "File name:");
  Edit1 = PlaceControl<TEdit>(this, this, "Edit1", 72, 8, 220, 21);
  SpeedButton1 = PlaceControl<TSpeedButton>(this, this, "SpeedButton1", 296, 7, 23, 22);
  SpeedButton1->setIcon(QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon));
  BitBtn1 = PlaceControl<TBitBtn>(this, this, "BitBtn1", 144, 60, 80, 25);
  BitBtn1->SetKind(TBitBtnKind::bkOK);
  BitBtn2 = PlaceControl<TBitBtn>(this, this, "BitBtn2", 232, 60, 80, 25);
  BitBtn2->SetKind(TBitBtnKind::bkCancel);
  OpenPictureDialog1 = AddComponent<TOpenPictureDialog>(this, "OpenPictureDialog1");

  OnCreate = Event(this, &TFormParams::FormCreate);
  SpeedButton1->OnClick = Event(this, &TFormParams::SpeedButton1Click);
  BitBtn1->OnClick = Event(this, &TFormParams::BitBtn1Click);
}

void TFormParams::SetFileName(const std::string& Value) {
  FFileName = Value;
  Edit1->SetText(Value);
}

void TFormParams::FormCreate(TObject*) {
  SetFileName("");
}

void TFormParams::SpeedButton1Click(TObject*) {
  if (OpenPictureDialog1->Execute()) Edit1->SetText(OpenPictureDialog1->FileName);
}

void TFormParams::BitBtn1Click(TObject*) {
  FFileName = Edit1->Text();
}
