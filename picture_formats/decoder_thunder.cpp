#include "picture_formats/decoder_thunder.h"

namespace {

constexpr const char* kThunderName = "ThunderScan";
constexpr int kSkip = 16;  // a delta code that writes no pixel
constexpr int kTwoBitDeltas[4] = {0, 1, kSkip, -1};
constexpr int kThreeBitDeltas[8] = {0, 1, 2, 3, kSkip, -3, -2, -1};

// One row of 4-bit pixels, two to a byte.
class TNibbleRow {
 public:
  TNibbleRow(uint8_t* row, uint32_t width) : FRow(row), FWidth(width) {}

  bool Full() const { return FCount >= FWidth; }
  uint8_t Last() const { return FLast; }
  void Put(int value) {
    FLast = static_cast<uint8_t>(value & 0x0F);
    if (Full()) return;
    uint8_t& byte = FRow[FCount / 2];
    byte = (FCount & 1) == 0 ? static_cast<uint8_t>(FLast << 4) : static_cast<uint8_t>(byte | FLast);
    ++FCount;
  }
  void Delta(int delta) {
    if (delta != kSkip) Put(FLast + delta);
  }

 private:
  uint8_t* const FRow;
  const uint32_t FWidth;
  uint32_t FCount = 0;
  uint8_t FLast = 0;
};

}  // namespace

void TThunderDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize,
                             int32_t UnpackedSize) {
  const size_t packed = PackedBytesAvailable(Source, PackedSize, kThunderName);
  const size_t room = UnpackedRoomAvailable(Dest, UnpackedSize, 1, kThunderName);
  const size_t rowBytes = (size_t{FWidth} + 1) / 2;
  SetLastUnpackedBytes(0);
  if (rowBytes == 0) return;
  const uint8_t* in = Source.Current();
  const uint8_t* const end = in + packed;
  size_t wholeRows = 0;
  for (size_t row = 0; row < room / rowBytes && in < end; ++row) {
    TNibbleRow pixels(Dest.Current() + row * rowBytes, FWidth);
    while (in < end && !pixels.Full()) {
      const uint8_t b = *in++;
      switch (b >> 6) {
        case 0:
          for (int n = b & 0x3F; n > 0 && !pixels.Full(); --n) pixels.Put(pixels.Last());
          break;
        case 1:
          pixels.Delta(kTwoBitDeltas[(b >> 4) & 3]);
          pixels.Delta(kTwoBitDeltas[(b >> 2) & 3]);
          pixels.Delta(kTwoBitDeltas[b & 3]);
          break;
        case 2:
          pixels.Delta(kThreeBitDeltas[(b >> 3) & 7]);
          pixels.Delta(kThreeBitDeltas[b & 7]);
          break;
        default:
          pixels.Put(b & 0x0F);
          break;
      }
    }
    if (pixels.Full()) ++wholeRows;
  }
  SetLastUnpackedBytes(wholeRows * rowBytes);
}
