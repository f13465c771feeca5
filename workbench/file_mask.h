#pragma once
// Which files the "Mask Directory" browser lists: an extension filter such as "*.bmp;*.jpg" and a name
// mask such as "img*", "*img", "#img", "*.jp*" or "*.tif", letter case ignored. A name is tested by its
// part up to the first dot and by its last extension.

#include <string>

class TFileNameFilter {
 public:
  // filter: the text of the chosen filter entry; mask: the name mask as typed.
  TFileNameFilter(const std::string& filter, const std::string& mask);
  // The file name (without folder) passes both tests.
  bool Passes(const std::string& fileName) const;

 private:
  // Where a text must stand: 0 anywhere, 1 at the start, 2 after the start.
  enum class TPlace { Anywhere, AtStart, AfterStart };
  // The extension is looked up in the filter list, or matched against the mask's extension part.
  enum class TExtensionMode { Filter, Mask };

  std::string FExtension;  // empty: every extension passes
  TExtensionMode FExtensionMode = TExtensionMode::Filter;
  TPlace FExtensionPlace = TPlace::Anywhere;
  std::string FName;  // empty: every name passes
  TPlace FNamePlace = TPlace::Anywhere;
};
