#include "workbench/unitcomputer.h"

#include <cstring>

#include "toolkit/ui/system_services.h"

std::string ComputerName() {
  char buffer[256];
  std::memset(buffer, ' ', sizeof(buffer));
  uint32_t size = sizeof(buffer);
  if (!GetComputerNameA(buffer, &size)) return {};
  return std::string(buffer, strnlen(buffer, sizeof(buffer)));
}
