#include "workbench/unumformat.h"

#include <algorithm>

TFormNumFormat* FormNumFormat = nullptr;

TFormNumFormat::TFormNumFormat(TComponent* owner) : TForm(owner) {
  SetName("FormNumFormat");
  SetCaption("FileName Num Format");
  setFixedSize(290, 150);

  Label1 = new TLabel(this, this);
  Label1->SetName("Label1");
  Label1->SetCaption("Count of Digits Number:");
  Label1->SetBounds(16, 20, 130, 13);
  Label1->resize(Label1->sizeHint());
  Edit1 = new TEdit(this, this);
  Edit1->SetName("Edit1");
  Edit1->SetText("4");
  // The edit and its arrows beside the label's whole text.
  const int editLeft = std::max(160, Label1->Left() + Label1->Width() + 8);
  Edit1->SetBounds(editLeft, 16, 41, 21);
  UpDown1 = new TUpDown(this, this);
  UpDown1->SetName("UpDown1");
  UpDown1->SetBounds(editLeft + 41, 16, 16, 21);
  UpDown1->SetMin(-1);
  UpDown1->SetMax(10);
  UpDown1->Wrap = false;
  UpDown1->SetAssociate(Edit1);
  UpDown1->SetPosition(4);
  CheckBoxAutoNumFormat = new TCheckBox(this, this);
  CheckBoxAutoNumFormat->SetName("CheckBoxAutoNumFormat");
  CheckBoxAutoNumFormat->SetCaption("AutoAdapt  Number Format to File Count");
  // As wide as its text needs in the window's font; the window grows with it.
  const int checkWidth = std::max(260, CheckBoxAutoNumFormat->sizeHint().width());
  CheckBoxAutoNumFormat->SetBounds(16, 52, checkWidth, 17);
  setFixedSize(std::max({290, 16 + checkWidth + 14, editLeft + 57 + 14}), 150);
  BitBtnOk = new TBitBtn(this, this);
  BitBtnOk->SetName("BitBtnOk");
  BitBtnOk->SetKind(TBitBtnKind::bkOK);
  BitBtnOk->SetBounds(16, 100, 80, 25);
  BitBtnCancel = new TBitBtn(this, this);
  BitBtnCancel->SetName("BitBtnCancel");
  BitBtnCancel->SetCaption("Cancel");
  BitBtnCancel->SetKind(TBitBtnKind::bkCancel);
  BitBtnCancel->SetBounds(104, 100, 80, 25);
  BitBtnDefault = new TBitBtn(this, this);
  BitBtnDefault->SetName("BitBtnDefault");
  BitBtnDefault->SetCaption("Default");
  BitBtnDefault->SetBounds(192, 100, 80, 25);

  OnCreate = Event(this, &TFormNumFormat::FormCreate);
  BitBtnDefault->OnClick = Event(this, &TFormNumFormat::BitBtnDefaultClick);
}

void TFormNumFormat::FormCreate(TObject* Sender) {
  BitBtnDefaultClick(Sender);
}

void TFormNumFormat::BitBtnDefaultClick(TObject*) {
  UpDown1->SetPosition(4);
  CheckBoxAutoNumFormat->SetChecked(true);
}
