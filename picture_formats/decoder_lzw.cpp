#include "picture_formats/decoder_lzw.h"

#include <algorithm>
#include <array>

#include "picture_formats/format_messages.h"
#include "toolkit/core/messages.h"

namespace {

constexpr const char* kLZWName = "LZW";
constexpr uint32_t kTableSize = 4096;
constexpr uint32_t kNoCode = kTableSize;  // no previous code: start of data, or just after a clear
constexpr uint32_t kMaxCodeSize = 12;

// What tells the two dialects apart.
struct TLZWDialect {
  uint32_t ClearCode;
  uint32_t InitialCodeSize;
  bool MostSignificantFirst;  // TIFF: codes are read from the top of each byte
  bool EarlyChange;           // TIFF: the width grows one code before the table needs it
  bool EndCodeStops;          // TIFF: the end code ends the call; GIF: only the byte's codes
  bool FreezeWhenFull;        // GIF: a full table takes no more entries; TIFF: it is an error
};

// The string table and the stack that reverses one string: the call's own working storage.
struct TLZWTable {
  std::array<uint16_t, kTableSize> Prefix;
  std::array<uint8_t, kTableSize> Suffix;
  std::array<uint8_t, kTableSize> Stack;
};

// Returns the bytes written.
size_t DecodeLZW(const TLZWDialect& dialect, const uint8_t* in, size_t packed, uint8_t* out, size_t room) {
  const size_t wanted = room;
  TLZWTable table;
  const uint32_t clearCode = dialect.ClearCode;
  const uint32_t endCode = clearCode + 1;
  const uint32_t firstFree = clearCode + 2;
  for (uint32_t code = 0; code < clearCode; ++code) {
    table.Prefix[code] = kNoCode;
    table.Suffix[code] = static_cast<uint8_t>(code);
  }

  uint32_t codeSize = dialect.InitialCodeSize;
  uint32_t codeMask = (1u << codeSize) - 1;
  uint32_t nextFree = firstFree;
  uint32_t previous = kNoCode;
  uint8_t firstByte = 0;
  uint32_t buffer = 0;
  uint32_t bitCount = 0;
  const auto widen = [&] {
    if (codeSize < kMaxCodeSize) codeMask = (1u << ++codeSize) - 1;
  };

  while (packed > 0 && room > 0) {
    // Only skipped codes leave bits behind; once a new byte no longer fits beside them the data are
    // beyond repair.
    if (bitCount > 24) break;
    const uint32_t byte = *in++;
    --packed;
    buffer |= dialect.MostSignificantFirst ? byte << (24 - bitCount) : byte << bitCount;
    bitCount += 8;

    while (bitCount >= codeSize) {
      uint32_t code;
      if (dialect.MostSignificantFirst) {
        code = buffer >> (32 - codeSize);
        buffer <<= codeSize;
      } else {
        code = buffer & codeMask;
        buffer >>= codeSize;
      }
      bitCount -= codeSize;

      if (code == endCode) {
        if (dialect.EndCodeStops) return wanted - room;
        break;
      }
      if (code == clearCode) {
        codeSize = dialect.InitialCodeSize;
        codeMask = (1u << codeSize) - 1;
        nextFree = firstFree;
        previous = kNoCode;
        continue;
      }
      if (code > nextFree) break;
      if (previous == kNoCode) {
        // A string needs a code before it; only single bytes can come first.
        if (code >= clearCode) continue;
        firstByte = table.Suffix[code];
        *out++ = firstByte;
        --room;
        previous = code;
        if (room == 0) return wanted;
        continue;
      }

      const uint32_t incoming = code;
      size_t depth = 0;
      if (code == nextFree) {  // the previous string followed by its own first byte
        table.Stack[depth++] = firstByte;
        code = previous;
      }
      // Every entry's prefix is an older code, so the walk ends at a single byte.
      while (code > clearCode) {
        table.Stack[depth++] = table.Suffix[code];
        code = table.Prefix[code];
      }
      firstByte = table.Suffix[code];
      table.Stack[depth++] = firstByte;

      if (nextFree < kTableSize) {
        table.Prefix[nextFree] = static_cast<uint16_t>(previous);
        table.Suffix[nextFree] = firstByte;
        if (dialect.EarlyChange) {
          if (++nextFree == codeMask) widen();
        } else {
          // (With a minimum code size of 1 the first free slot already lies past the first mask.)
          if (nextFree >= codeMask) widen();
          ++nextFree;
        }
      } else if (!dialect.FreezeWhenFull) {
        CompressionError(gesLZWTableFull);
      }
      previous = incoming;

      const size_t count = std::min(depth, room);
      for (size_t i = 0; i < count; ++i) out[i] = table.Stack[depth - 1 - i];
      out += count;
      room -= count;
      if (room == 0) return wanted;
    }
  }
  return wanted - room;
}

}  // namespace

void TTIFFLZWDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize,
                             int32_t UnpackedSize) {
  const size_t packed = PackedBytesAvailable(Source, PackedSize, kLZWName);
  const size_t room = UnpackedRoomAvailable(Dest, UnpackedSize, 1, kLZWName);
  const TLZWDialect tiff{256, 9, true, true, true, false};
  SetLastUnpackedBytes(0);
  SetLastUnpackedBytes(DecodeLZW(tiff, Source.Current(), packed, Dest.Current(), room));
}

void TGIFLZWDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize,
                            int32_t UnpackedSize) {
  // The clear code must stand above the 2^n single-byte codes of a byte-wide table.
  if (FInitialCodeSize < 1 || FInitialCodeSize > 8) throw ERangeError(SRangeError);
  const size_t packed = PackedBytesAvailable(Source, PackedSize, kLZWName);
  const size_t room = UnpackedRoomAvailable(Dest, UnpackedSize, 1, kLZWName);
  const TLZWDialect gif{1u << FInitialCodeSize, FInitialCodeSize + 1u, false, false, false, true};
  SetLastUnpackedBytes(0);
  SetLastUnpackedBytes(DecodeLZW(gif, Source.Current(), packed, Dest.Current(), room));
}
