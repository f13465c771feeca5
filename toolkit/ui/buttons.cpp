#include "toolkit/ui/buttons.h"

#include <QApplication>
#include <QStyle>

#include "toolkit/ui/forms.h"
#include "toolkit/ui/guarded.h"

namespace {

struct TKindDef {
  const char* Caption;
  QStyle::StandardPixmap Glyph;
  TModalResult Result;
};

TKindDef KindDef(TBitBtnKind kind) {
  switch (kind) {
    case TBitBtnKind::bkOK:
      return {"OK", QStyle::SP_DialogOkButton, mrOk};
    case TBitBtnKind::bkCancel:
      return {"Annuler", QStyle::SP_DialogCancelButton, mrCancel};
    case TBitBtnKind::bkHelp:
      return {"&Aide", QStyle::SP_DialogHelpButton, mrNone};
    case TBitBtnKind::bkYes:
      return {"&Oui", QStyle::SP_DialogYesButton, mrYes};
    case TBitBtnKind::bkNo:
      return {"&Non", QStyle::SP_DialogNoButton, mrNo};
    case TBitBtnKind::bkClose:
      return {"&Fermer", QStyle::SP_DialogCloseButton, mrNone};
    case TBitBtnKind::bkAbort:
      return {"Abandon", QStyle::SP_BrowserStop, mrAbort};
    case TBitBtnKind::bkRetry:
      return {"&Réessayer", QStyle::SP_BrowserReload, mrRetry};
    case TBitBtnKind::bkIgnore:
      return {"&Ignorer", QStyle::SP_DialogDiscardButton, mrIgnore};
    case TBitBtnKind::bkAll:
      return {"&Tous", QStyle::SP_DialogApplyButton, mrAll};
    case TBitBtnKind::bkCustom:
      break;
  }
  return {"", QStyle::SP_CustomBase, mrNone};
}

}  // namespace

TBitBtn::TBitBtn(TComponent* owner, TControl* parent) : TButton(owner, parent) {}

void TBitBtn::SetKind(TBitBtnKind kind) {
  FKind = kind;
  const TKindDef def = KindDef(kind);
  if (!FCaptionSet) {
    TButton::SetCaption(QString::fromUtf8(def.Caption).toStdString());
  }
  setIcon(kind == TBitBtnKind::bkCustom ? QIcon() : QApplication::style()->standardIcon(def.Glyph));
  ModalResult = def.Result;
  Default = kind == TBitBtnKind::bkOK || kind == TBitBtnKind::bkYes;
  Cancel = kind == TBitBtnKind::bkCancel || kind == TBitBtnKind::bkNo;
}

void TBitBtn::SetCaption(const std::string& caption) {
  FCaptionSet = true;
  TButton::SetCaption(caption);
}

void TBitBtn::Click() {
  TButton::Click();
  if (FKind == TBitBtnKind::bkClose) {
    TControl* top = this;
    while (top->Parent()) top = top->Parent();
    if (auto* form = dynamic_cast<TCustomForm*>(top)) form->Close();
  }
}

TSpeedButton::TSpeedButton(TComponent* owner, TControl* parent) : TWidgetControl<QToolButton>(owner, parent) {
  setFocusPolicy(Qt::NoFocus);
  resize(23, 22);
  QObject::connect(this, &QToolButton::clicked, this, [this] { Guarded([this] { Click(); }); });
}

void TSpeedButton::SetCaption(const std::string& caption) {
  FCaption = caption;
  setText(QString::fromStdString(caption));
}

void TSpeedButton::Click() {
  if (OnClick) OnClick(this);
}
