#pragma once
// The file and colour dialog components; Execute goes through the dialogs seam.

#include <string>
#include <vector>

#include "toolkit/graphics/types.h"
#include "toolkit/ui/nonvisual.h"

// Open/save options, kept as flags.
using TOpenOptions = uint32_t;
inline constexpr TOpenOptions ofReadOnly = 1u << 0;
inline constexpr TOpenOptions ofOverwritePrompt = 1u << 1;
inline constexpr TOpenOptions ofHideReadOnly = 1u << 2;
inline constexpr TOpenOptions ofNoChangeDir = 1u << 3;
inline constexpr TOpenOptions ofShowHelp = 1u << 4;
inline constexpr TOpenOptions ofNoValidate = 1u << 5;
inline constexpr TOpenOptions ofAllowMultiSelect = 1u << 6;
inline constexpr TOpenOptions ofExtensionDifferent = 1u << 7;
inline constexpr TOpenOptions ofPathMustExist = 1u << 8;
inline constexpr TOpenOptions ofFileMustExist = 1u << 9;
inline constexpr TOpenOptions ofCreatePrompt = 1u << 10;
inline constexpr TOpenOptions ofShareAware = 1u << 11;
inline constexpr TOpenOptions ofNoReadOnlyReturn = 1u << 12;
inline constexpr TOpenOptions ofNoTestFileCreate = 1u << 13;
inline constexpr TOpenOptions ofEnableSizing = 1u << 19;

class TOpenDialog : public TNonVisualComponent {
 public:
  explicit TOpenDialog(TComponent* owner) : TNonVisualComponent(owner) {}

  std::string FileName;
  // Every chosen file (one without multi-select).
  std::vector<std::string> Files;
  // "Description|*.a;*.b|Description 2|*.c"
  std::string Filter;
  int FilterIndex = 1;
  // Without a dot; added to a chosen name that has no extension.
  std::string DefaultExt;
  std::string InitialDir;
  std::string Title;
  TOpenOptions Options = ofHideReadOnly | ofEnableSizing;

  // Shows the dialog; true when the user chose.
  virtual bool Execute();

  // A dialog without an initial folder opens in the process's current folder while this is on.
  static bool OpenInCurrentFolder;

 protected:
  bool Run(bool save);
};

class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
  bool Execute() override;
};

class TColorDialog : public TNonVisualComponent {
 public:
  explicit TColorDialog(TComponent* owner) : TNonVisualComponent(owner) {}
  TColor Color = clBlack;
  bool Execute();
};
