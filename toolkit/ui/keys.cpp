#include "toolkit/ui/keys.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, Word>, 18> kSpecialKeys{{{Qt::Key_Backspace, VK_BACK},
                                                             {Qt::Key_Tab, VK_TAB},
                                                             {Qt::Key_Return, VK_RETURN},
                                                             {Qt::Key_Enter, VK_RETURN},
                                                             {Qt::Key_Shift, VK_SHIFT},
                                                             {Qt::Key_Control, VK_CONTROL},
                                                             {Qt::Key_Alt, VK_MENU},
                                                             {Qt::Key_Escape, VK_ESCAPE},
                                                             {Qt::Key_Space, VK_SPACE},
                                                             {Qt::Key_PageUp, VK_PRIOR},
                                                             {Qt::Key_PageDown, VK_NEXT},
                                                             {Qt::Key_End, VK_END},
                                                             {Qt::Key_Home, VK_HOME},
                                                             {Qt::Key_Left, VK_LEFT},
                                                             {Qt::Key_Up, VK_UP},
                                                             {Qt::Key_Right, VK_RIGHT},
                                                             {Qt::Key_Down, VK_DOWN},
                                                             {Qt::Key_Insert, VK_INSERT}}};

}  // namespace

Word VirtualKeyFromQt(int qtKey) {
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
    return static_cast<Word>(qtKey);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return static_cast<Word>(VK_F1 + (qtKey - Qt::Key_F1));
  if (qtKey == Qt::Key_Delete) return VK_DELETE;
  if (qtKey == Qt::Key_Minus) return VK_OEM_MINUS;
  for (const auto& [qt, vk] : kSpecialKeys)
    if (qt == qtKey) return vk;
  return 0;
}

TShiftState ShiftFromQt(Qt::KeyboardModifiers modifiers) {
  TShiftState shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  return shift;
}

int QtKeyFromVirtualKey(Word key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return key;
  if (key >= VK_F1 && key < VK_F1 + 24) return Qt::Key_F1 + (key - VK_F1);
  if (key == VK_DELETE) return Qt::Key_Delete;
  if (key == VK_OEM_MINUS) return Qt::Key_Minus;
  for (const auto& [qt, vk] : kSpecialKeys)
    if (vk == key) return qt;
  return 0;
}
