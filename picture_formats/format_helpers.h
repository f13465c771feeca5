#pragma once
// Helpers the picture readers share: raising the library's errors, byte-order swaps, undoing TIFF's
// horizontal-difference predictor, 2x plane upsampling, working buffers, and keeping a probed stream
// where it was. Every helper takes its buffer with its size and refuses (ERangeError) to reach past it.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/format.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/data_bound.h"

// Raise EInvalidGraphic (as EFormatError, the library's own message) with the message, or with
// Format(format, args) (readers pass their format's short name, such as "PNG", for the %s of the
// library's messages).
[[noreturn]] void FormatError(const std::string& message);
[[noreturn]] void FormatErrorFmt(std::string_view format, std::initializer_list<TFormatArg> args);

// Exchange the two bytes of each 16-bit value / reverse the four bytes of each 32-bit value, in place.
void SwapShorts(std::span<uint16_t> values);
void SwapLongs(std::span<uint32_t> values);
constexpr uint16_t SwapShort(uint16_t value) {
  return static_cast<uint16_t>((value << 8) | (value >> 8));
}
constexpr uint32_t SwapLong(uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

// Undo the horizontal-difference predictor over `count` steps (TIFF passes the pixel count minus 1):
// byte[i + d] += byte[i] for i = 0 .. d x count - 1, modulo 256, with d = 1, 3 or 4. The row must hold
// d x (count + 1) bytes.
void UndoHorizontalDifference8(std::span<uint8_t> row, size_t count);
void UndoHorizontalDifference24(std::span<uint8_t> row, size_t count);
void UndoHorizontalDifference32(std::span<uint8_t> row, size_t count);

// Enlarges, in place, a plane of `width` x `height` bytes whose rows lie `pitch` bytes apart to
// 2 width x 2 height (same pitch): new pixels are the rounded means of their neighbours, the last column
// and row repeat. A plane narrower or lower than 2 raises EIntOverflow; a pitch below 2 x width or a
// buffer shorter than the enlarged plane raises ERangeError.
void UpsamplePlane(uint32_t width, uint32_t height, size_t pitch, std::span<uint8_t> plane);

// Bytes from the stream's position to its end (0 when the position lies at or beyond the end).
int64_t BytesLeft(TStream& stream);

// Refuses, before anything is sized for it, a picture whose file data cannot give its rows
// (DataCanFill): with "Cannot load image. Invalid or unexpected %s image format." (`invalidName`) when
// there are no data at all, else with "Cannot load image. The %s file ends before its picture does."
// (`name`).
void RequireRowData(uint64_t dataBytes, uint64_t maxExpansion, uint64_t rowBytes, uint64_t rows,
                    const std::string& name, const std::string& invalidName);

// A zero-filled buffer of `size` bytes, so that data ending early leave black rather than old memory.
// A size the machine cannot hold raises EOutOfResources.
std::vector<uint8_t> ZeroedBuffer(uint64_t size);
// The next `count` bytes of the stream; fewer raise EReadError.
std::vector<uint8_t> ReadBytes(TStream& stream, uint64_t count);

// Puts a stream back where it was when the guard was made (the probes must leave it unmoved whatever
// they read or however they fail).
class TStreamPositionGuard {
 public:
  explicit TStreamPositionGuard(TStream& stream) : FStream(stream), FPosition(stream.Position()) {}
  ~TStreamPositionGuard();
  TStreamPositionGuard(const TStreamPositionGuard&) = delete;
  TStreamPositionGuard& operator=(const TStreamPositionGuard&) = delete;

 private:
  TStream& FStream;
  int64_t FPosition;
};
