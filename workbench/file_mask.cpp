#include "workbench/file_mask.h"

#include "toolkit/core/file_names.h"
#include "toolkit/core/string_utils.h"

namespace {

// Positions are 1-based, 0 meaning "not found"; start is the position a text "at the start" has.
template <class Place>
bool StandsAt(size_t position, Place place, size_t start) {
  switch (place) {
    case Place::AtStart:
      return position == start;
    case Place::AfterStart:
      return position > start;
    case Place::Anywhere:
      break;
  }
  return position > 0;
}

}  // namespace

TFileNameFilter::TFileNameFilter(const std::string& filter, const std::string& mask) {
  // The filter entry: a list of "*.ext" to look the extension up in; anything else lets every
  // extension pass.
  FExtension = AnsiUpperCase(Trim(filter));
  const size_t filterStar = Pos("*", FExtension);
  const size_t filterDot = Pos(".", FExtension);
  if (FExtension == "*.*" || (filterStar > 0 && filterDot == 0) || filterDot < filterStar) FExtension.clear();

  // The mask: a name part, and after its first dot an extension part that replaces the filter.
  const std::string upperMask = Trim(AnsiUpperCase(mask));
  std::string name = upperMask;
  if (const size_t dot = Pos(".", upperMask); dot > 0) {
    const std::string extension = upperMask.substr(dot);
    name = Trim(upperMask.substr(0, dot - 1));
    if (!Trim(extension).empty()) {
      FExtensionMode = TExtensionMode::Mask;
      const size_t star = Pos("*", extension);
      if (star == 0) {
        FExtension = extension;
        FExtensionPlace = TPlace::Anywhere;
      } else if (star > 1) {
        FExtension = extension.substr(0, star - 1);
        FExtensionPlace = TPlace::AtStart;
      } else {
        FExtension = extension.substr(1);
        FExtensionPlace = TPlace::AfterStart;
        if (const size_t again = Pos("*", FExtension); again > 0) FExtension = FExtension.substr(again - 1);
      }
    }
  }

  const size_t star = Pos("*", name);
  if (star == 0) {
    FName = name;
  } else if (star == 1) {
    if (name != "*") {
      FName = name.substr(1);
      FNamePlace = TPlace::AfterStart;
      if (const size_t again = Pos("*", FName); again > 0) FName = FName.substr(0, again - 1);
    }
  } else {
    FName = name.substr(0, star - 1);
    FNamePlace = TPlace::AtStart;
  }
  if (!FName.empty() && FName.front() == '#') {
    FName.erase(0, 1);
    FNamePlace = TPlace::AfterStart;
  }
}

bool TFileNameFilter::Passes(const std::string& fileName) const {
  const std::string upper = AnsiUpperCase(fileName);
  if (!FExtension.empty()) {
    const std::string extension = ExtractFileExt(upper);
    // In a filter list the extension, dot included, must stand somewhere in the list; a name without
    // an extension never does.
    const bool passes = FExtensionMode == TExtensionMode::Filter
                            ? AnsiPos(extension, FExtension) > 0
                            : StandsAt(AnsiPos(FExtension, extension), FExtensionPlace, 2);
    if (!passes) return false;
  }
  if (FName.empty()) return true;
  const std::string base = upper.substr(0, upper.find('.'));
  return StandsAt(AnsiPos(FName, base), FNamePlace, 1);
}
