#pragma once
// The find and replace dialogs: small windows that stay open beside their window without making the
// user wait. Each button press copies the dialog's texts and options into the component and runs its
// event; the search itself is the window's business. The search always runs down the text.

#include <cstdint>
#include <string>

#include <QPointer>

#include "toolkit/ui/nonvisual.h"

class QCheckBox;
class QDialog;
class QLineEdit;
class TReplaceDialog;

using TFindOptions = uint32_t;
inline constexpr TFindOptions frDown = 1u << 0;
inline constexpr TFindOptions frFindNext = 1u << 1;
inline constexpr TFindOptions frHideMatchCase = 1u << 2;
inline constexpr TFindOptions frHideWholeWord = 1u << 3;
inline constexpr TFindOptions frHideUpDown = 1u << 4;
inline constexpr TFindOptions frMatchCase = 1u << 5;
inline constexpr TFindOptions frReplace = 1u << 6;
inline constexpr TFindOptions frReplaceAll = 1u << 7;
inline constexpr TFindOptions frWholeWord = 1u << 8;

class TFindDialog : public TNonVisualComponent {
 public:
  explicit TFindDialog(TComponent* owner);
  ~TFindDialog() override;

  std::string FindText;
  TFindOptions Options = frDown;
  // Where the dialog's top-left corner goes, in screen coordinates, when it opens.
  void SetPosition(int x, int y);
  // Opens the dialog (or brings it to the front) with the component's text and options; returns at
  // once.
  bool Execute();
  void CloseDialog();
  bool Showing() const;

  // "Suivant": the text and options are the dialog's, with frFindNext.
  TNotifyEvent OnFind;

 private:
  void Build();
  // Copies the dialog's texts and options into the component; the action flag replaces the others.
  void TakeDialogState(TFindOptions action);
  // The replace dialog has a replacement text and two more buttons.
  TReplaceDialog* AsReplace();

  int FLeft = -1;
  int FTop = -1;
  QPointer<QDialog> FDialog;
  QLineEdit* FFindEdit = nullptr;
  QCheckBox* FWholeWord = nullptr;
  QCheckBox* FMatchCase = nullptr;
  QLineEdit* FReplaceEdit = nullptr;
};

class TReplaceDialog : public TFindDialog {
 public:
  explicit TReplaceDialog(TComponent* owner) : TFindDialog(owner) { Options = 0; }

  std::string ReplaceText;
  // "Remplacer" (frReplace) and "Remplacer tout" (frReplaceAll).
  TNotifyEvent OnReplace;
};
