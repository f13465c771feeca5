#include "picture_formats/decoder_pcd.h"

#include <array>
#include <vector>

#include "picture_formats/color_types.h"
#include "toolkit/core/exceptions.h"

namespace {

constexpr size_t kSectorSize = 2048;
constexpr uint32_t kSyncMask = 0xFFFFFF00;
constexpr uint32_t kSyncMarker = 0xFFFFFE00;
constexpr uint32_t kLongestCode = 16;
constexpr int32_t kLargestOneTableRow = 1536;

// A 32-bit window on the bit stream, most significant bit first, refilled a byte at a time from
// sectors of the stream whenever 24 bits or fewer are left in it.
class TBitReader {
 public:
  explicit TBitReader(TStream& stream) : FStream(stream), FSector(kSectorSize) {}

  uint32_t Window() const { return FWindow; }

  // Drops the n leading bits (1 <= n <= 16).
  void Take(uint32_t n) {
    FWindow <<= n;
    FBits -= static_cast<int>(n);
    while (FBits <= 24) {
      if (FNext == kSectorSize) {
        FStream.ReadBuffer(FSector.data(), kSectorSize);
        FNext = 0;
      }
      FWindow |= uint32_t{FSector[FNext++]} << (24 - FBits);
      FBits += 8;
    }
  }

  // Moves on to the next sync marker: whole bytes until twelve set bits show, then bit by bit.
  void Synchronise() {
    while ((FWindow & 0x00FFF000) != 0x00FFF000) Take(8);
    while ((FWindow & kSyncMask) != kSyncMarker) Take(1);
  }

 private:
  TStream& FStream;
  std::vector<uint8_t> FSector;
  size_t FNext = kSectorSize;
  uint32_t FWindow = 0;
  int FBits = 32;
};

struct TCode {
  uint32_t Length = 0;
  uint32_t Sequence = 0;  // the code's bits in the window's top bits
  uint32_t Mask = 0;      // Length set bits from the top
  int Correction = 0;
};
using TCodeTable = std::vector<TCode>;

// Reads one table; false when a code is longer than 16 bits. Table bytes are taken from the window's
// lowest byte, which the refill has just filled.
bool ReadTable(TBitReader& bits, TCodeTable& table) {
  bits.Take(8);
  table.resize((bits.Window() & 0xFF) + 1);
  for (TCode& code : table) {
    bits.Take(8);
    code.Length = (bits.Window() & 0xFF) + 1;
    if (code.Length > kLongestCode) return false;
    bits.Take(16);
    code.Sequence = (bits.Window() & 0xFFFF) << 16;
    bits.Take(8);
    code.Correction = static_cast<int8_t>(bits.Window() & 0xFF);
    code.Mask = ~((uint32_t{1} << (32 - code.Length)) - 1);
  }
  return true;
}

const TCode* FindCode(const TCodeTable& table, uint32_t window) {
  for (const TCode& code : table)
    if ((window & code.Mask) == code.Sequence) return &code;
  return nullptr;
}

}  // namespace

void TPCDDecoder::Decode(TSourceCursor&, TTargetCursor&, int32_t PackedSize, int32_t UnpackedSize) {
  TBitReader bits(FStream);
  std::array<TCodeTable, 3> tables;
  const size_t tableCount = PackedSize <= kLargestOneTableRow ? 1 : 3;
  for (size_t i = 0; i < tableCount; ++i)
    if (!ReadTable(bits, tables[i])) return;
  bits.Take(16);
  bits.Take(16);
  bits.Synchronise();

  const size_t rowLength = PackedSize > 0 ? static_cast<size_t>(PackedSize) : 0;
  const TCodeTable* table = nullptr;
  std::span<uint8_t> plane;
  size_t position = 0;
  for (;;) {
    if ((bits.Window() & kSyncMask) == kSyncMarker) {
      bits.Take(16);
      const uint32_t row = (bits.Window() >> 9) & 0x1FFF;
      if (static_cast<int64_t>(row) == UnpackedSize) break;
      bits.Take(8);
      const uint32_t planeCode = bits.Window() >> 30;
      bits.Take(16);
      size_t tableIndex = 0;
      switch (planeCode) {
        case 0:
          plane = FPlanes.Luma;
          position = row * rowLength;
          break;
        case 2:
        case 3:
          tableIndex = planeCode - 1;
          plane = planeCode == 2 ? FPlanes.Chroma1 : FPlanes.Chroma2;
          position = (row >> 1) * rowLength;
          break;
        default:
          Abort();
      }
      if (tableIndex >= tableCount) Abort();
      table = &tables[tableIndex];
      continue;
    }
    const TCode* code = table ? FindCode(*table, bits.Window()) : nullptr;
    if (!code) {
      bits.Synchronise();
      continue;
    }
    if (position < plane.size()) plane[position] = ClampByte(plane[position] + code->Correction);
    ++position;
    bits.Take(code->Length);
  }
}
