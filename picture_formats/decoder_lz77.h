#pragma once
// Deflate (zlib) data: TIFF strips, PNG image data and Paint Shop Pro channels.

#include <zlib.h>

#include <cstdint>

#include "picture_formats/decoder.h"

// The most bytes one packed byte of any deflate stream gives, for readers that check a header's size
// against the data before sizing the picture: the longest match, 258 bytes, takes at least two bits
// (a one-bit length code and a one-bit distance code), so a packed byte gives at most 4 x 258.
inline constexpr uint64_t kDeflateMaxExpansion = 1032;

class TLZ77Decoder : public TDecoder {
 public:
  // FlushMode: the flush argument of every inflate call (Z_PARTIAL_FLUSH for TIFF and PNG, Z_FINISH for
  // Paint Shop Pro). AutoReset: every Decode starts a new zlib stream (one complete stream per call).
  TLZ77Decoder(int FlushMode, bool AutoReset);
  ~TLZ77Decoder() override;
  TLZ77Decoder(const TLZ77Decoder&) = delete;
  TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

  // Starts the zlib stream; a zlib failure raises EGraphicCompression "LZ77 decompression error.".
  void DecodeInit() override;
  // Inflates PackedSize bytes from Source into the UnpackedSize bytes of room at Dest and advances both
  // cursors past what zlib consumed and produced. Status holds the result (0 running, 1 the stream's
  // end); once it is not 0, a decoder without AutoReset does nothing more.
  //
  // Damaged data raise EGraphicCompression "LZ77 decompression error." (Status keeps zlib's negative
  // result). A call that must hold a whole stream (AutoReset, or FlushMode Z_FINISH) also raises it when
  // the stream stops short of its end while room is left, so no picture is built from bytes that were
  // never unpacked. With neither, the stream may continue in the next call: the caller feeds it and
  // decides what a missing end means.
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  // Ends the zlib stream; a zlib failure raises EGraphicCompression "LZ77 decompression error.".
  void DecodeEnd() override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}

  int32_t Status() const { return FStatus; }
  // Input bytes of the last call not consumed yet, and output room of the last call not filled.
  uint32_t GetAvailableInput() const { return FStream.avail_in; }
  uint32_t GetAvailableOutput() const { return FStream.avail_out; }

 private:
  z_stream FStream{};
  int32_t FStatus = 0;
  const int FFlushMode;
  const bool FAutoReset;
  bool FInitialized = false;
};
