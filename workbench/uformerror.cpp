#include "workbench/uformerror.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(TComponent* owner) : TForm(owner) {
  SetName("Form2");
  SetCaption("Process Finished - Error Report");
  resize(480, 320);

  memo1 = new TMemo(this, this);
  memo1->SetName("memo1");
  memo1->SetBounds(0, 0, 480, 280);
  memo1->SetAlign(TAlign::alTop);
  BitBtn1 = new TBitBtn(this, this);
  BitBtn1->SetName("BitBtn1");
  BitBtn1->SetKind(TBitBtnKind::bkOK);
  BitBtn1->SetBounds(8, 287, 90, 25);
  BitBtn2 = new TBitBtn(this, this);
  BitBtn2->SetName("BitBtn2");
  BitBtn2->SetCaption("Efface...");
  BitBtn2->SetKind(TBitBtnKind::bkAbort);
  BitBtn2->SetBounds(106, 287, 90, 25);

  BitBtn2->OnClick = Event(this, &TForm2::BitBtn2Click);
}

void TForm2::BitBtn2Click(TObject*) {
  memo1->Clear();
}
