#include "workbench/usearch.h"

#include <QApplication>
#include <QFont>
#include <QStyle>

#include "toolkit/graphics/picture.h"
#include "workbench/form_layout.h"
#include "workbench/umain.h"

TFormSearch* FormSearch = nullptr;

namespace {

// A label, its edit and the edit's up-down on one line.
struct TValueRow {
  TLabel* Label;
  TEdit* Edit;
  TUpDown* UpDown;
};

TValueRow PlaceValueRow(TFormSearch* form, const char* label, const char* caption, const char* edit,
                        const char* upDown, int left, int top, int min, int max, int position) {
  TValueRow row;
  row.Label = PlaceControl<TLabel>(form, form, label, left, top + 4, 56, 13, caption);
  row.Edit = PlaceControl<TEdit>(form, form, edit, left + 60, top, 50, 21);
  row.UpDown = PlaceControl<TUpDown>(form, form, upDown, left + 110, top, 16, 21);
  row.UpDown->SetMin(min);
  row.UpDown->SetMax(max);
  row.UpDown->SetAssociate(row.Edit);
  row.UpDown->SetPosition(position);
  return row;
}

}  // namespace

void PrepareSearchSaveDialog(TSaveDialog& Dialog) {
  Dialog.FileName = "(CurrentFileName).bmp";
  Dialog.Filter = TPicture::GraphicFilter(TGraphic::StaticClass());
  Dialog.DefaultExt = TPicture::GraphicExtension(TBitmap::StaticClass());
  Dialog.Options = ofHideReadOnly | ofAllowMultiSelect | ofEnableSizing;
}

TFormSearch::TFormSearch(TComponent* owner) : TForm(owner) {
  SetName("FormSearch");
  SetCaption("Search Parameters:");
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  setFixedSize(300, 292);

  TValueRow row =
      PlaceValueRow(this, "Label1", "Min Level:", "EditMinLevel", "UpDownMinLevel", 8, 8, 0, 255, 10);
  Label1 = row.Label, EditMinLevel = row.Edit, UpDownMinLevel = row.UpDown;
  row = PlaceValueRow(this, "Label2", "Min Pixels:", "EditMinPixels", "UpDownMinPixels", 150, 8, 0, 1000, 10);
  Label2 = row.Label, EditMinPixels = row.Edit, UpDownMinPixels = row.UpDown;
  Label7 = PlaceControl<TLabel>(this, this, "Label7", 8, 40, 60, 13, " Margins ");
  row = PlaceValueRow(this, "Label3", "Left:", "EditLeft", "UpDownLeft", 8, 58, 0, 1000, 1);
  Label3 = row.Label, EditLeft = row.Edit, UpDownLeft = row.UpDown;
  row = PlaceValueRow(this, "Label4", "Right:", "EditRight", "UpDownRight", 150, 58, 0, 1000, 1);
  Label4 = row.Label, EditRight = row.Edit, UpDownRight = row.UpDown;
  row = PlaceValueRow(this, "Label5", "Top:", "EditTop", "UpDownTop", 8, 84, 0, 1000, 1);
  Label5 = row.Label, EditTop = row.Edit, UpDownTop = row.UpDown;
  row = PlaceValueRow(this, "Label6", "Bottom:", "EditBottom", "UpDownBottom", 150, 84, 0, 100, 1);
  Label6 = row.Label, EditBottom = row.Edit, UpDownBottom = row.UpDown;
  Label8 = PlaceControl<TLabel>(this, this, "Label8", 8, 116, 60, 13, " Crop ");
  row = PlaceValueRow(this, "Label9", "Width:", "EditCropW", "UpDownCropW", 8, 134, 1, 1000, 100);
  Label9 = row.Label, EditCropW = row.Edit, UpDownCropW = row.UpDown;
  row = PlaceValueRow(this, "Label10", "Height:", "EditCropH", "UpDownCropH", 150, 134, 1, 1000, 100);
  Label10 = row.Label, EditCropH = row.Edit, UpDownCropH = row.UpDown;
  CheckBoxSave = PlaceControl<TCheckBox>(this, this, "CheckBoxSave", 8, 168, 90, 17, " Save ? ");
  QFont font = CheckBoxSave->font();
  font.setBold(true);
  font.setUnderline(true);
  CheckBoxSave->setFont(font);
  EditName = PlaceControl<TEdit>(this, this, "EditName", 8, 192, 256, 21);
  SpeedButton1 = PlaceControl<TSpeedButton>(this, this, "SpeedButton1", 268, 191, 23, 22);
  SpeedButton1->setIcon(QApplication::style()->standardIcon(QStyle::SP_DialogSaveButton));
  SpeedButton2 = PlaceControl<TSpeedButton>(this, this, "SpeedButton2", 8, 222, 120, 22, "Clear Right List");
  BitBtnOk = PlaceControl<TBitBtn>(this, this, "BitBtnOk", 120, 256, 80, 25);
  BitBtnOk->SetKind(TBitBtnKind::bkOK);
  BitBtnCancel = PlaceControl<TBitBtn>(this, this, "BitBtnCancel", 208, 256, 80, 25);
  BitBtnCancel->SetKind(TBitBtnKind::bkCancel);
  SaveDialog1 = AddComponent<TSaveDialog>(this, "SaveDialog1");

  OnShow = Event(this, &TFormSearch::FormShow);
  CheckBoxSave->OnClick = Event(this, &TFormSearch::CheckBoxSaveClick);
  SpeedButton1->OnClick = Event(this, &TFormSearch::SpeedButton1Click);
  SpeedButton2->OnClick = Event(this, &TFormSearch::SpeedButton2Click);
}

void TFormSearch::FormShow(TObject*) {
  EditName->SetVisible(CheckBoxSave->Checked());
  SpeedButton1->SetVisible(CheckBoxSave->Checked());
}

void TFormSearch::CheckBoxSaveClick(TObject* Sender) {
  if (Visible() && CheckBoxSave->Checked()) SpeedButton1Click(Sender);
  EditName->SetVisible(CheckBoxSave->Checked());
  SpeedButton1->SetVisible(CheckBoxSave->Checked());
}

void TFormSearch::SpeedButton1Click(TObject*) {
  PrepareSearchSaveDialog(*SaveDialog1);
  if (SaveDialog1->Execute()) EditName->SetText(SaveDialog1->FileName);
}

void TFormSearch::SpeedButton2Click(TObject*) {
  if (!FormMain) return;
  FormMain->ToolBar2Click(this);
  FormMain->ClearRightList();
}
