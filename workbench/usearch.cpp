#include "workbench/usearch.h"

#include <QApplication>
#include <QFont>
#include <QStyle>

#include "toolkit/graphics/picture.h"
#include "workbench/form_layout.h"
#include "workbench/umain.h"
#include "workbench/working_bitmap.h"

TFormSearch* FormSearch = nullptr;

namespace {

// A label, its edit and the edit's up-down on one line: the label's name and caption, then the
// edit's and the up-down's names ("Edit" and "UpDown" before the value's name), its range and its
// first position.
struct TValueRow {
  const char* Label;
  const char* Caption;
  const char* Value;
  int Left, Top, Min, Max, Position;
};

void PlaceValueRow(TFormSearch* form, const TValueRow& row, TLabel*& label, TEdit*& edit, TUpDown*& upDown) {
  label = PlaceControl<TLabel>(form, form, row.Label, row.Left, row.Top + 4, 66, 13, row.Caption);
  edit = PlaceControl<TEdit>(form, form, std::string("Edit") + row.Value, row.Left + 68, row.Top, 50, 21);
  upDown =
      PlaceControl<TUpDown>(form, form, std::string("UpDown") + row.Value, row.Left + 118, row.Top, 16, 21);
  upDown->SetMin(row.Min);
  upDown->SetMax(row.Max);
  upDown->SetAssociate(edit);
  upDown->SetPosition(row.Position);
}

}  // namespace

void PrepareSearchSaveDialog(TSaveDialog& Dialog) {
  Dialog.FileName = "(CurrentFileName).bmp";
  Dialog.Filter = SavedPictureFilter();
  Dialog.DefaultExt = TPicture::GraphicExtension(TBitmap::StaticClass());
  Dialog.Options = ofHideReadOnly | ofAllowMultiSelect | ofEnableSizing;
}

TFormSearch::TFormSearch(TComponent* owner) : TForm(owner) {
  SetName("FormSearch");
  SetCaption("Search Parameters:");
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  setFixedSize(300, 292);

  PlaceValueRow(this, {"Label1", "Min Level:", "MinLevel", 8, 8, 0, 255, 10}, Label1, EditMinLevel,
                UpDownMinLevel);
  PlaceValueRow(this, {"Label2", "Min Pixels:", "MinPixels", 150, 8, 0, 1000, 10}, Label2, EditMinPixels,
                UpDownMinPixels);
  Label7 = PlaceControl<TLabel>(this, this, "Label7", 8, 40, 60, 13, " Margins ");
  PlaceValueRow(this, {"Label3", "Left:", "Left", 8, 58, 0, 1000, 1}, Label3, EditLeft, UpDownLeft);
  PlaceValueRow(this, {"Label4", "Right:", "Right", 150, 58, 0, 1000, 1}, Label4, EditRight, UpDownRight);
  PlaceValueRow(this, {"Label5", "Top:", "Top", 8, 84, 0, 1000, 1}, Label5, EditTop, UpDownTop);
  PlaceValueRow(this, {"Label6", "Bottom:", "Bottom", 150, 84, 0, 100, 1}, Label6, EditBottom, UpDownBottom);
  Label8 = PlaceControl<TLabel>(this, this, "Label8", 8, 116, 60, 13, " Crop ");
  PlaceValueRow(this, {"Label9", "Width:", "CropW", 8, 134, 1, 1000, 100}, Label9, EditCropW, UpDownCropW);
  PlaceValueRow(this, {"Label10", "Height:", "CropH", 150, 134, 1, 1000, 100}, Label10, EditCropH,
                UpDownCropH);
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
  BitBtnCancel = PlaceControl<TBitBtn>(this, this, "BitBtnCancel", 208, 256, 80, 25, "Cancel");
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
