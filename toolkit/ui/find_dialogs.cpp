#include "toolkit/ui/find_dialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "toolkit/ui/guarded.h"

namespace {

// The dialogs' own texts, French like the rest of the toolkit's.
constexpr const char* SFindCaption = "Rechercher";
constexpr const char* SReplaceCaption = "Remplacer";
constexpr const char* SFindWhat = "Rechercher :";
constexpr const char* SReplaceWith = "Remplacer par :";
constexpr const char* SWholeWord = "Mot entier uniquement";
constexpr const char* SMatchCase = "Respecter la casse";
constexpr const char* SFindNext = "Suivant";
constexpr const char* SReplace = "Remplacer";
constexpr const char* SReplaceAll = "Remplacer tout";
constexpr const char* SCancel = "Annuler";

QString Q(const char* text) {
  return QString::fromUtf8(text);
}

}  // namespace

TFindDialog::TFindDialog(TComponent* owner) : TNonVisualComponent(owner) {}

TFindDialog::~TFindDialog() {
  delete FDialog.data();
}

TReplaceDialog* TFindDialog::AsReplace() {
  return dynamic_cast<TReplaceDialog*>(this);
}

void TFindDialog::SetPosition(int x, int y) {
  FLeft = x;
  FTop = y;
  if (FDialog) FDialog->move(x, y);
}

void TFindDialog::Build() {
  auto* parent = qobject_cast<QWidget*>(Owner() ? Owner()->Object() : nullptr);
  FDialog = new QDialog(parent, Qt::Tool);
  FDialog->setObjectName(QString::fromStdString(Name()));
  FDialog->setWindowTitle(Q(AsReplace() ? SReplaceCaption : SFindCaption));
  auto* grid = new QGridLayout;
  FFindEdit = new QLineEdit;
  FFindEdit->setObjectName("FindText");
  grid->addWidget(new QLabel(Q(SFindWhat)), 0, 0);
  grid->addWidget(FFindEdit, 0, 1);
  if (AsReplace()) {
    FReplaceEdit = new QLineEdit;
    FReplaceEdit->setObjectName("ReplaceText");
    grid->addWidget(new QLabel(Q(SReplaceWith)), 1, 0);
    grid->addWidget(FReplaceEdit, 1, 1);
  }
  FWholeWord = new QCheckBox(Q(SWholeWord));
  FWholeWord->setObjectName("WholeWord");
  FMatchCase = new QCheckBox(Q(SMatchCase));
  FMatchCase->setObjectName("MatchCase");
  grid->addWidget(FWholeWord, 2, 0, 1, 2);
  grid->addWidget(FMatchCase, 3, 0, 1, 2);

  auto* buttons = new QVBoxLayout;
  auto addButton = [&](const char* caption, const char* name, auto action) {
    auto* button = new QPushButton(Q(caption));
    button->setObjectName(name);
    buttons->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, FDialog, [action] { Guarded(action); });
    return button;
  };
  addButton(SFindNext, "FindNext", [this] {
    TakeDialogState(frFindNext);
    if (OnFind) OnFind(this);
  })->setDefault(true);
  if (TReplaceDialog* replace = AsReplace()) {
    addButton(SReplace, "Replace", [this, replace] {
      TakeDialogState(frReplace);
      if (replace->OnReplace) replace->OnReplace(this);
    });
    addButton(SReplaceAll, "ReplaceAll", [this, replace] {
      TakeDialogState(frReplaceAll);
      if (replace->OnReplace) replace->OnReplace(this);
    });
  }
  addButton(SCancel, "Cancel", [this] { CloseDialog(); });
  buttons->addStretch();

  auto* layout = new QHBoxLayout(FDialog);
  layout->addLayout(grid);
  layout->addLayout(buttons);
}

bool TFindDialog::Execute() {
  if (!FDialog) Build();
  FFindEdit->setText(QString::fromStdString(FindText));
  if (TReplaceDialog* replace = AsReplace())
    FReplaceEdit->setText(QString::fromStdString(replace->ReplaceText));
  FWholeWord->setChecked(Options & frWholeWord);
  FWholeWord->setVisible(!(Options & frHideWholeWord));
  FMatchCase->setChecked(Options & frMatchCase);
  FMatchCase->setVisible(!(Options & frHideMatchCase));
  if (FLeft >= 0 && FTop >= 0) FDialog->move(FLeft, FTop);
  FDialog->show();
  FDialog->raise();
  FDialog->activateWindow();
  return true;
}

void TFindDialog::CloseDialog() {
  if (FDialog) FDialog->hide();
}

bool TFindDialog::Showing() const {
  return FDialog && FDialog->isVisible();
}

void TFindDialog::TakeDialogState(TFindOptions action) {
  FindText = FFindEdit->text().toStdString();
  if (TReplaceDialog* replace = AsReplace()) replace->ReplaceText = FReplaceEdit->text().toStdString();
  Options &= ~(frFindNext | frReplace | frReplaceAll | frWholeWord | frMatchCase);
  if (FWholeWord->isChecked()) Options |= frWholeWord;
  if (FMatchCase->isChecked()) Options |= frMatchCase;
  Options |= action;
}
