#include "picture_formats/decoder_lz77.h"

#include "picture_formats/format_messages.h"

namespace {

constexpr const char* kDeflateName = "deflate";

}  // namespace

TLZ77Decoder::TLZ77Decoder(int FlushMode, bool AutoReset) : FFlushMode(FlushMode), FAutoReset(AutoReset) {}

TLZ77Decoder::~TLZ77Decoder() {
  if (FInitialized) inflateEnd(&FStream);
}

void TLZ77Decoder::DecodeInit() {
  if (FInitialized) {
    inflateEnd(&FStream);
    FInitialized = false;
  }
  FStream = z_stream{};
  FStatus = inflateInit_(&FStream, ZLIB_VERSION, static_cast<int>(sizeof(z_stream)));
  if (FStatus < 0) CompressionError(gesLZ77Error);
  FInitialized = true;
}

void TLZ77Decoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize,
                          int32_t UnpackedSize) {
  const size_t packed = PackedBytesAvailable(Source, PackedSize, kDeflateName);
  const size_t room = UnpackedRoomAvailable(Dest, UnpackedSize, 1, kDeflateName);
  // zlib's input pointer is not const in its interface, but inflate only reads through it.
  FStream.next_in = const_cast<Bytef*>(Source.Current());
  FStream.avail_in = static_cast<uInt>(packed);
  SetLastUnpackedBytes(0);
  if (FAutoReset) {
    FStatus = inflateReset(&FStream);
    if (FStatus < 0) CompressionError(gesLZ77Error);
  }
  if (FStatus != Z_OK) return;

  FStream.next_out = Dest.Current();
  FStream.avail_out = static_cast<uInt>(room);
  FStatus = inflate(&FStream, FFlushMode);
  Source.Advance(packed - FStream.avail_in);
  Dest.Advance(room - FStream.avail_out);
  SetLastUnpackedBytes(room - FStream.avail_out);

  // A call that holds a whole stream has run out of input before the stream's end when room is left.
  const bool wholeStream = FAutoReset || FFlushMode == Z_FINISH;
  const bool endedEarly = wholeStream && FStatus != Z_STREAM_END && FStream.avail_out > 0;
  switch (FStatus) {
    case Z_STREAM_END:
      return;
    case Z_OK:
    case Z_BUF_ERROR:  // no progress was possible: out of input or out of room
      if (!endedEarly) return;
      break;
    default:
      break;  // damaged data, a preset dictionary, zlib's own failures
  }
  CompressionError(gesLZ77Error);
}

void TLZ77Decoder::DecodeEnd() {
  if (!FInitialized) return;
  FInitialized = false;
  if (inflateEnd(&FStream) < 0) CompressionError(gesLZ77Error);
}
