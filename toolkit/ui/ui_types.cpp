#include "toolkit/ui/ui_types.h"

#include <array>
#include <utility>

namespace {

struct TKeyName {
  Word Key;
  const char* Name;
};

constexpr std::array<TKeyName, 20> kKeyNames{
    {{VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
     {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},    {VK_HOME, "Home"},    {VK_LEFT, "Left"},
     {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
     {VK_F1, "F1"},      {VK_F1 + 1, "F2"},   {VK_F1 + 2, "F3"},  {VK_F1 + 3, "F4"},    {VK_F1 + 4, "F5"}}};

std::string KeyName(Word key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key < VK_F1 + 24) {
    std::string name(1, 'F');
    name += std::to_string(key - VK_F1 + 1);
    return name;
  }
  for (const auto& entry : kKeyNames)
    if (entry.Key == key) return entry.Name;
  return {};
}

}  // namespace

TShortCut ShortCut(Word key, TShiftState shift) {
  TShortCut result = key & 0x1FFF;
  if (shift & ssShift) result |= scShift;
  if (shift & ssCtrl) result |= scCtrl;
  if (shift & ssAlt) result |= scAlt;
  return result;
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyName(shortCut & 0x1FFF);
  if (name.empty()) return {};
  std::string prefix;
  if (shortCut & scShift) prefix += "Shift+";
  if (shortCut & scCtrl) prefix += "Ctrl+";
  if (shortCut & scAlt) prefix += "Alt+";
  return prefix + name;
}

TShortCut TextToShortCut(const std::string& text) {
  TShortCut modifiers = 0;
  std::string rest = text;
  const std::array<std::pair<const char*, TShortCut>, 3> prefixes{
      {{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}};
  for (bool found = true; found;) {
    found = false;
    for (const auto& [prefix, flag] : prefixes) {
      const std::string p(prefix);
      if (rest.compare(0, p.size(), p) == 0) {
        modifiers |= flag;
        rest.erase(0, p.size());
        found = true;
      }
    }
  }
  for (Word key = 1; key < 0x100; ++key)
    if (KeyName(key) == rest) return static_cast<TShortCut>(key | modifiers);
  return 0;
}
