#pragma once
// Buttons with glyphs: TBitBtn (a TButton whose kind sets its caption, glyph and modal result) and
// TSpeedButton (a flat button that takes no focus).

#include <QToolButton>

#include "toolkit/ui/stdctrls.h"

enum class TBitBtnKind {
  bkCustom,
  bkOK,
  bkCancel,
  bkHelp,
  bkYes,
  bkNo,
  bkClose,
  bkAbort,
  bkRetry,
  bkIgnore,
  bkAll
};

class TBitBtn : public TButton {
 public:
  TBitBtn(TComponent* owner, TControl* parent);
  TBitBtnKind Kind() const { return FKind; }
  // Sets the kind's caption (unless one was set), glyph, modal result, and default/cancel role.
  void SetKind(TBitBtnKind kind);
  void SetCaption(const std::string& caption) override;
  // bkClose closes the window when clicked.
  void Click() override;

 private:
  TBitBtnKind FKind = TBitBtnKind::bkCustom;
  bool FCaptionSet = false;
};

class TSpeedButton : public TWidgetControl<QToolButton> {
 public:
  TSpeedButton(TComponent* owner, TControl* parent);
  std::string Caption() const override { return FCaption; }
  void SetCaption(const std::string& caption) override;
  bool Flat = false;
  TNotifyEvent OnClick;
  void Click();

 private:
  std::string FCaption;
};
