#include "picture_formats/format_helpers.h"

#include <new>
#include <stdexcept>

#include "picture_formats/format_failures.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

void FormatError(const std::string& message) {
  throw EFormatError(message);
}

void FormatErrorFmt(std::string_view format, std::initializer_list<TFormatArg> args) {
  throw EFormatError(Format(format, args));
}

void SwapShorts(std::span<uint16_t> values) {
  for (uint16_t& value : values) value = SwapShort(value);
}

void SwapLongs(std::span<uint32_t> values) {
  for (uint32_t& value : values) value = SwapLong(value);
}

namespace {

void UndoHorizontalDifference(std::span<uint8_t> row, size_t count, size_t distance) {
  if (count == 0) return;
  const size_t steps = CheckedMul(count, distance);
  if (CheckedAdd(steps, distance) > row.size()) throw ERangeError(SRangeError);
  uint8_t* bytes = row.data();
  for (size_t i = 0; i < steps; ++i)
    bytes[i + distance] = static_cast<uint8_t>(bytes[i + distance] + bytes[i]);
}

}  // namespace

void UndoHorizontalDifference8(std::span<uint8_t> row, size_t count) {
  UndoHorizontalDifference(row, count, 1);
}
void UndoHorizontalDifference24(std::span<uint8_t> row, size_t count) {
  UndoHorizontalDifference(row, count, 3);
}
void UndoHorizontalDifference32(std::span<uint8_t> row, size_t count) {
  UndoHorizontalDifference(row, count, 4);
}

void UpsamplePlane(uint32_t width, uint32_t height, size_t pitch, std::span<uint8_t> plane) {
  // The vertical pass runs height - 2 + 1 rows of width - 2 + 1 steps; smaller planes overflow here.
  const uint32_t lastRowPair = CheckedSub<uint32_t>(height, 2);
  const uint32_t lastColumnPair = CheckedSub<uint32_t>(width, 2);
  const size_t w = width;
  const size_t h = height;
  const size_t targetWidth = CheckedMul<size_t>(w, 2);
  if (pitch < targetWidth) throw ERangeError(SRangeError);
  if (CheckedAdd(CheckedMul(CheckedSub<size_t>(CheckedMul<size_t>(h, 2), 1), pitch), targetWidth) >
      plane.size())
    throw ERangeError(SRangeError);
  uint8_t* const base = plane.data();

  // Horizontal: source row y into row 2y, from the last row and the last pixel down, so that every
  // source byte is read before it is overwritten.
  for (size_t y = h; y-- > 0;) {
    const uint8_t* source = base + y * pitch;
    uint8_t* target = base + 2 * y * pitch;
    const uint8_t last = source[w - 1];
    target[2 * w - 2] = last;
    target[2 * w - 1] = last;
    for (size_t x = lastColumnPair + 1; x-- > 0;) {
      const uint8_t left = source[x];
      const auto mean = static_cast<uint8_t>((source[x] + source[x + 1] + 1) >> 1);
      target[2 * x] = left;
      target[2 * x + 1] = mean;
    }
  }

  // Vertical: row 2y + 1 from rows 2y and 2y + 2.
  for (size_t y = 0; y <= lastRowPair; ++y) {
    const uint8_t* a = base + 2 * y * pitch;
    const uint8_t* b = a + 2 * pitch;
    uint8_t* out = base + (2 * y + 1) * pitch;
    for (size_t x = 0; x <= lastColumnPair; ++x) {
      out[2 * x] = static_cast<uint8_t>((a[2 * x] + b[2 * x] + 1) >> 1);
      out[2 * x + 1] = static_cast<uint8_t>((a[2 * x] + a[2 * x + 2] + b[2 * x] + b[2 * x + 2] + 2) >> 2);
    }
    out[2 * w - 2] = static_cast<uint8_t>((a[2 * w - 2] + b[2 * w - 2] + 1) >> 1);
    out[2 * w - 1] = static_cast<uint8_t>((a[2 * w - 1] + b[2 * w - 1] + 1) >> 1);
  }

  // The last row repeats the one above it.
  uint8_t* lastRow = base + (2 * h - 1) * pitch;
  const uint8_t* above = lastRow - pitch;
  for (size_t x = 0; x < targetWidth; ++x) lastRow[x] = above[x];
}

int64_t BytesLeft(TStream& stream) {
  const int64_t left = stream.Size() - stream.Position();
  return left > 0 ? left : 0;
}

void RequireRowData(uint64_t dataBytes, uint64_t maxExpansion, uint64_t rowBytes, uint64_t rows,
                    const std::string& name, const std::string& invalidName) {
  if (DataCanFill(dataBytes, maxExpansion, rowBytes, rows)) return;
  if (dataBytes == 0) FormatErrorFmt(gesInvalidImage, {invalidName});
  FormatErrorFmt(gesDataEnded, {name});
}

std::vector<uint8_t> ZeroedBuffer(uint64_t size) {
  try {
    return std::vector<uint8_t>(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EOutOfResources(SOutOfResources);
  } catch (const std::length_error&) {
    throw EOutOfResources(SOutOfResources);
  }
}

std::vector<uint8_t> ReadBytes(TStream& stream, uint64_t count) {
  std::vector<uint8_t> bytes = ZeroedBuffer(count);
  stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

TStreamPositionGuard::~TStreamPositionGuard() {
  try {
    FStream.SetPosition(FPosition);
  } catch (...) {
    // A stream that cannot seek back has nothing better to offer while unwinding.
  }
}
