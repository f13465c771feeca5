#include "picture_formats/decoders_rle.h"

#include <algorithm>
#include <cstring>

#include "toolkit/core/checked.h"
#include "toolkit/core/messages.h"

namespace {

constexpr const char* kTargaName = "Targa run-length";
constexpr const char* kPackBitsName = "PackBits";
constexpr const char* kPCXName = "PCX run-length";
constexpr const char* kSGIName = "SGI run-length";
constexpr const char* kCUTName = "Dr. Halo run-length";
constexpr const char* kPSPName = "Paint Shop Pro run-length";
constexpr const char* kRLAName = "RLA run-length";

// Packed bytes with their end: every packet asks for what it needs at once, and asking for more than
// is left raises.
class TPackedReader {
 public:
  TPackedReader(const uint8_t* data, size_t size, const char* name) : FNext(data), FLeft(size), FName(name) {}

  size_t Left() const { return FLeft; }
  size_t Consumed(const uint8_t* start) const { return static_cast<size_t>(FNext - start); }

  uint8_t Byte() {
    if (FLeft == 0) PackedDataEnded(FName);
    --FLeft;
    return *FNext++;
  }
  const uint8_t* Take(size_t count) {
    if (count > FLeft) PackedDataEnded(FName);
    const uint8_t* bytes = FNext;
    FNext += count;
    FLeft -= count;
    return bytes;
  }

 private:
  const uint8_t* FNext;
  size_t FLeft;
  const char* FName;
};

// Writes value (size bytes) count times: the first copy by hand, then doubling block moves.
void FillPattern(uint8_t* target, const uint8_t* value, size_t size, size_t count) {
  if (count == 0) return;
  if (size == 1) {
    std::memset(target, *value, count);
    return;
  }
  const size_t total = count * size;
  std::memcpy(target, value, size);
  size_t done = size;
  while (done < total) {
    const size_t step = std::min(done, total - done);
    std::memcpy(target + done, target, step);
    done += step;
  }
}

// Room for unpacked bytes with its end.
class TUnpackedWriter {
 public:
  TUnpackedWriter(uint8_t* data, size_t room, const char* name) : FNext(data), FLeft(room), FName(name) {}

  size_t Left() const { return FLeft; }

  void Copy(const uint8_t* bytes, size_t count) {
    Reserve(count);
    if (count > 0) std::memcpy(FNext, bytes, count);
    FNext += count;
  }
  void Fill(uint8_t value, size_t count) { Repeat(&value, 1, count); }
  void Repeat(const uint8_t* value, size_t size, size_t count) {
    const size_t bytes = CheckedMul(size, count);
    Reserve(bytes);
    FillPattern(FNext, value, size, count);
    FNext += bytes;
  }

 private:
  void Reserve(size_t count) {
    if (count > FLeft) UnpackedRoomExceeded(FName);
    FLeft -= count;
  }

  uint8_t* FNext;
  size_t FLeft;
  const char* FName;
};

// Bytes per pixel of the Targa depths the decoder handles; 0 for the others.
size_t TargaPixelSize(uint32_t colorDepth) {
  switch (colorDepth) {
    case 8:
      return 1;
    case 15:
    case 16:
      return 2;
    case 24:
      return 3;
    case 32:
      return 4;
    default:
      return 0;
  }
}

template <size_t PixelSize>
bool SamePixel(const uint8_t* a, const uint8_t* b) {
  return std::memcmp(a, b, PixelSize) == 0;
}

}  // namespace

// ---- Targa ----

void TTargaRLEDecoder::DecodeInit() {
  FPendingCount = 0;
}

void TTargaRLEDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t, int32_t UnpackedSize) {
  const size_t pixelSize = TargaPixelSize(FColorDepth);
  if (pixelSize == 0 || UnpackedSize <= 0) return;
  UnpackedRoomAvailable(Dest, UnpackedSize, pixelSize, kTargaName);
  const auto pixels = static_cast<size_t>(UnpackedSize);
  size_t consumed = 0;
  switch (pixelSize) {
    case 1:
      consumed = DecodePixels<1>(Source.Current(), Source.Remaining(), Dest.Current(), pixels);
      break;
    case 2:
      consumed = DecodePixels<2>(Source.Current(), Source.Remaining(), Dest.Current(), pixels);
      break;
    case 3:
      consumed = DecodePixels<3>(Source.Current(), Source.Remaining(), Dest.Current(), pixels);
      break;
    default:
      consumed = DecodePixels<4>(Source.Current(), Source.Remaining(), Dest.Current(), pixels);
      break;
  }
  Source.Advance(consumed);
}

template <size_t PixelSize>
size_t TTargaRLEDecoder::DecodePixels(const uint8_t* source, size_t available, uint8_t* target,
                                      size_t pixels) {
  TPackedReader in(source, available, kTargaName);
  while (pixels > 0) {
    if (FPendingCount == 0) {
      const uint8_t header = in.Byte();
      const bool run = (header & 0x80) != 0;
      if (run) std::memcpy(FPendingPixel.data(), in.Take(PixelSize), PixelSize);
      FPendingRun = run;
      FPendingCount = (header & 0x7Fu) + 1;
    }
    const size_t count = std::min<size_t>(FPendingCount, pixels);
    const size_t bytes = count * PixelSize;
    if (FPendingRun)
      FillPattern(target, FPendingPixel.data(), PixelSize, count);
    else
      std::memcpy(target, in.Take(bytes), bytes);
    target += bytes;
    pixels -= count;
    FPendingCount -= static_cast<uint32_t>(count);
  }
  return in.Consumed(source);
}

void TTargaRLEDecoder::Encode(TSourceCursor Source, TTargetCursor Dest, uint32_t Count,
                              uint32_t& BytesStored) {
  BytesStored = 0;
  const size_t pixelSize = TargaPixelSize(FColorDepth);
  if (pixelSize == 0 || Count == 0) return;
  if (CheckedMul(static_cast<size_t>(Count), pixelSize) > Source.Remaining()) throw ERangeError(SRangeError);
  switch (pixelSize) {
    case 1:
      BytesStored = EncodePixels<1>(Source.Current(), Count, Dest.Current(), Dest.Remaining());
      break;
    case 2:
      BytesStored = EncodePixels<2>(Source.Current(), Count, Dest.Current(), Dest.Remaining());
      break;
    case 3:
      BytesStored = EncodePixels<3>(Source.Current(), Count, Dest.Current(), Dest.Remaining());
      break;
    default:
      BytesStored = EncodePixels<4>(Source.Current(), Count, Dest.Current(), Dest.Remaining());
      break;
  }
}

template <size_t PixelSize>
uint32_t TTargaRLEDecoder::EncodePixels(const uint8_t* source, uint32_t count, uint8_t* target, size_t room) {
  constexpr uint32_t kMaxPacket = 128;
  uint32_t stored = 0;
  auto reserve = [&](size_t bytes) {
    if (bytes > room) throw ERangeError(SRangeError);
    room -= bytes;
    stored = CheckedAdd(stored, static_cast<uint32_t>(bytes));
  };
  while (count > 0) {
    // Pixels before the first one that equals its successor (all of them when none does).
    uint32_t distinct = 0;
    while (distinct < kMaxPacket && distinct + 1 < count &&
           !SamePixel<PixelSize>(source + distinct * PixelSize, source + (distinct + 1) * PixelSize))
      ++distinct;
    if (distinct + 1 == count && distinct < kMaxPacket) distinct = count;
    if (distinct > 0) {
      const size_t bytes = size_t{distinct} * PixelSize;
      reserve(bytes + 1);
      *target++ = static_cast<uint8_t>(distinct - 1);
      std::memcpy(target, source, bytes);
      target += bytes;
      source += bytes;
      count -= distinct;
      continue;
    }
    // The current pixel equals the next one: a run of all equal pixels from here.
    uint32_t equal = 1;
    while (equal < kMaxPacket && equal < count && SamePixel<PixelSize>(source, source + equal * PixelSize))
      ++equal;
    reserve(PixelSize + 1);
    *target++ = static_cast<uint8_t>((equal - 1) | 0x80);
    std::memcpy(target, source, PixelSize);
    target += PixelSize;
    source += size_t{equal} * PixelSize;
    count -= equal;
  }
  return stored;
}

// ---- PackBits ----

void TPackbitsRLEDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize,
                                 int32_t UnpackedSize) {
  TPackedReader in(Source.Current(), PackedBytesAvailable(Source, PackedSize, kPackBitsName), kPackBitsName);
  const size_t room = UnpackedRoomAvailable(Dest, UnpackedSize, 1, kPackBitsName);
  TUnpackedWriter out(Dest.Current(), room, kPackBitsName);
  SetLastUnpackedBytes(0);
  while (in.Left() > 0 && out.Left() > 0) {
    const auto n = static_cast<int8_t>(in.Byte());
    if (n >= 0) {
      const size_t count = std::min({static_cast<size_t>(n) + 1, in.Left(), out.Left()});
      out.Copy(in.Take(count), count);
    } else if (n != -128) {
      const uint8_t value = in.Byte();
      out.Fill(value, std::min(static_cast<size_t>(1 - n), out.Left()));
    }
  }
  SetLastUnpackedBytes(room - out.Left());
}

// ---- PCX ----

void TPCXRLEDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t, int32_t UnpackedSize) {
  TPackedReader in(Source.Current(), Source.Remaining(), kPCXName);
  TUnpackedWriter out(Dest.Current(), UnpackedRoomAvailable(Dest, UnpackedSize, 1, kPCXName), kPCXName);
  while (out.Left() > 0) {
    const uint8_t b = in.Byte();
    if ((b & 0xC0) == 0xC0) {
      const uint8_t value = in.Byte();
      out.Fill(value, std::min<size_t>(b & 0x3F, out.Left()));
    } else {
      out.Fill(b, 1);
    }
  }
}

// ---- SGI ----

void TSGIRLEDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t, int32_t) {
  TPackedReader in(Source.Current(), Source.Remaining(), kSGIName);
  TUnpackedWriter out(Dest.Current(), Dest.Remaining(), kSGIName);
  if (FSampleSize == 16) {
    for (;;) {
      const uint8_t* header = in.Take(2);
      const size_t count = header[1] & 0x7F;
      if (count == 0) break;
      if (header[1] & 0x80)
        out.Copy(in.Take(2 * count), 2 * count);
      else
        out.Repeat(in.Take(2), 2, count);
    }
  } else {
    for (;;) {
      const uint8_t header = in.Byte();
      const size_t count = header & 0x7F;
      if (count == 0) break;
      if (header & 0x80)
        out.Copy(in.Take(count), count);
      else
        out.Fill(in.Byte(), count);
    }
  }
}

// ---- Dr. Halo CUT ----

void TCUTRLEDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t, int32_t) {
  TPackedReader in(Source.Current(), Source.Remaining(), kCUTName);
  TUnpackedWriter out(Dest.Current(), Dest.Remaining(), kCUTName);
  in.Take(2);
  for (;;) {
    const uint8_t header = in.Byte();
    if (header == 0) break;
    const size_t count = header & 0x7F;
    if (header & 0x80)
      out.Fill(in.Byte(), count);
    else
      out.Copy(in.Take(count), count);
  }
  Source.Advance(in.Consumed(Source.Current()));
}

// ---- Paint Shop Pro ----

void TPSPRLEDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t) {
  TPackedReader in(Source.Current(), PackedBytesAvailable(Source, PackedSize, kPSPName), kPSPName);
  TUnpackedWriter out(Dest.Current(), Dest.Remaining(), kPSPName);
  SetLastUnpackedBytes(0);
  while (in.Left() > 0) {
    const uint8_t header = in.Byte();
    if (header < 0x80)
      out.Copy(in.Take(header), header);
    else
      out.Fill(in.Byte(), header - 0x80u);
  }
  SetLastUnpackedBytes(Dest.Remaining() - out.Left());
}

// ---- Wavefront RLA ----

void TRLADecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t) {
  TPackedReader in(Source.Current(), PackedBytesAvailable(Source, PackedSize, kRLAName), kRLAName);
  TUnpackedWriter out(Dest.Current(), Dest.Remaining(), kRLAName);
  SetLastUnpackedBytes(0);
  while (in.Left() > 0) {
    const int n = static_cast<int8_t>(in.Byte());
    if (n < 0)
      out.Copy(in.Take(static_cast<size_t>(-n)), static_cast<size_t>(-n));
    else
      out.Fill(in.Byte(), static_cast<size_t>(n) + 1);
  }
  SetLastUnpackedBytes(Dest.Remaining() - out.Left());
}
