#include "toolkit/graphics/data_bound.h"

bool DataCanFill(uint64_t dataBytes, uint64_t maxExpansion, uint64_t rowBytes, uint64_t rows) {
  if (rowBytes == 0 || rows == 0) return true;
  // Compared by division, so no product of header values can wrap.
  const uint64_t reach =
      maxExpansion != 0 && dataBytes > UINT64_MAX / maxExpansion ? UINT64_MAX : dataBytes * maxExpansion;
  return reach / rowBytes >= rows;
}
