#pragma once
// A plain LZW encoder for the tests, in both dialects: it writes every code with the width the decoder
// will read it with (it follows the decoder's own table, which lags one code behind its own), so any
// input can be packed and unpacked again, and streams can be made that fill the table.

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "tests/picture_formats/picture_test_support.h"

enum class TLZWTestDialect { TIFF, GIF };

// Codes of any width packed into bytes, first code at the top of the first byte (TIFF) or at its bottom
// (GIF).
class TCodePacker {
 public:
  explicit TCodePacker(bool mostSignificantFirst) : FMostSignificantFirst(mostSignificantFirst) {}

  void Put(int code, int width) {
    if (FMostSignificantFirst) {
      FBuffer = FBuffer << width | static_cast<uint64_t>(code);
      FBits += width;
      while (FBits >= 8) FOut.push_back(static_cast<uint8_t>(FBuffer >> (FBits -= 8)));
    } else {
      FBuffer |= static_cast<uint64_t>(code) << FBits;
      FBits += width;
      for (; FBits >= 8; FBits -= 8, FBuffer >>= 8) FOut.push_back(static_cast<uint8_t>(FBuffer));
    }
    FBuffer &= (uint64_t{1} << 40) - 1;
  }
  // The bytes, the last one filled up with 0 bits.
  Bytes Finish() {
    if (FBits > 0)
      FOut.push_back(static_cast<uint8_t>(FMostSignificantFirst ? FBuffer << (8 - FBits) : FBuffer));
    FBits = 0;
    return FOut;
  }

 private:
  const bool FMostSignificantFirst;
  Bytes FOut;
  uint64_t FBuffer = 0;
  int FBits = 0;
};

// What to do when the decoder's table holds 4096 codes: start again with a clear code (TIFF writers),
// or go on without new entries (GIF's deferred clear; in TIFF data, a stream the decoder must refuse).
enum class TLZWFull { Clear, NoClear };

class TLZWTestEncoder {
 public:
  TLZWTestEncoder(TLZWTestDialect dialect, int minimumCodeSize, TLZWFull full)
      : FTIFF(dialect == TLZWTestDialect::TIFF), FMinimum(minimumCodeSize), FFull(full) {}

  // Clear, the codes of `data`, end.
  Bytes Encode(const Bytes& data) {
    FPacker.emplace(FTIFF);
    Reset();
    Put(ClearCode());
    int w = -1;
    for (uint8_t c : data) {
      if (w < 0) {
        w = c;
        continue;
      }
      const auto found = FDictionary.find({w, c});
      if (found != FDictionary.end()) {
        w = found->second;
        continue;
      }
      Emit(w);
      if (FNext < 4096) FDictionary[{w, c}] = FNext++;
      // The decoder's table is full now: start afresh before another string code.
      if (FFull == TLZWFull::Clear && FDecoderNext == 4096) {
        Put(ClearCode());
        Reset();
      }
      w = c;
    }
    if (w >= 0) Emit(w);
    Put(ClearCode() + 1);
    return FPacker->Finish();
  }

  // Packs codes of the given widths as they stand (for hand-made streams).
  static Bytes Pack(bool mostSignificantFirst, const std::vector<std::pair<int, int>>& codes) {
    TCodePacker packer(mostSignificantFirst);
    for (auto [code, width] : codes) packer.Put(code, width);
    return packer.Finish();
  }

 private:
  int ClearCode() const { return 1 << FMinimum; }

  void Reset() {
    FDictionary.clear();
    FNext = ClearCode() + 2;
    FDecoderNext = FNext;
    FDecoderWidth = FMinimum + 1;
    FFirstAfterClear = true;
  }

  // Writes a string's code, then lets the decoder's table take the entry that code gives it.
  void Emit(int code) {
    Put(code);
    if (FFirstAfterClear) {
      FFirstAfterClear = false;
      return;
    }
    if (FDecoderNext >= 4096) return;
    const int mask = (1 << FDecoderWidth) - 1;
    if (FTIFF) {
      if (++FDecoderNext == mask && FDecoderWidth < 12) ++FDecoderWidth;
    } else {
      if (FDecoderNext >= mask && FDecoderWidth < 12) ++FDecoderWidth;
      ++FDecoderNext;
    }
  }

  void Put(int code) { FPacker->Put(code, FDecoderWidth); }

  const bool FTIFF;
  const int FMinimum;
  const TLZWFull FFull;
  std::map<std::pair<int, int>, int> FDictionary;
  int FNext = 0;
  int FDecoderNext = 0;
  int FDecoderWidth = 0;
  bool FFirstAfterClear = true;
  std::optional<TCodePacker> FPacker;
};
