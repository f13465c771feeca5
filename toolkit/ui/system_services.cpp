#include "toolkit/ui/system_services.h"

#include <unistd.h>

#include <climits>
#include <cstring>

#include <QApplication>

#include "toolkit/ui/dialogs.h"

namespace {

int gBeeps = 0;

}  // namespace

bool GetComputerNameA(char* buffer, uint32_t* size) {
  if (!buffer || !size) return false;
  // Room for the longest name the system allows and its terminating zero.
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof(name)) != 0) return false;
  const size_t length = strnlen(name, sizeof(name) - 1);
  if (length + 1 > *size) {
    *size = static_cast<uint32_t>(length + 1);
    return false;
  }
  std::memcpy(buffer, name, length);
  buffer[length] = '\0';
  *size = static_cast<uint32_t>(length);
  return true;
}

void PrintTextLines(const std::vector<std::string>& lines) {
  Dialogs().PrintLines(lines);
}

int ShellExecuteOpen(const std::string& fileName, const std::string& workingFolder) {
  return Dialogs().OpenDocument(fileName, workingFolder);
}

void Beep() {
  ++gBeeps;
  QApplication::beep();
}

int BeepCount() {
  return gBeeps;
}
