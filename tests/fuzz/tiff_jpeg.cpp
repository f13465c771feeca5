// Decodes one input as a JPEG strip of a 40 x 16 TIFF picture, YCbCr, RGB or gray as the first byte
// chooses, into a strip buffer of exactly its size. Damaged data may only ever end in
// EGraphicCompression or in libjpeg's error (EJPEG).

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "picture_formats/decoder_tiff_jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  TImageProperties properties;
  properties.Width = 40;
  properties.Height = 16;
  properties.BitsPerSample = 8;
  properties.RowsPerStrip = {16};
  properties.PlanarConfiguration = 1;
  switch (data[0] % 3) {
    case 0:
      properties.ColorScheme = scYCbCr;
      properties.SamplesPerPixel = 3;
      properties.YCbCrSubsampling = {2, 2};
      break;
    case 1:
      properties.ColorScheme = scRGB;
      properties.SamplesPerPixel = 3;
      break;
    default:
      properties.ColorScheme = scGray;
      properties.SamplesPerPixel = 1;
      break;
  }
  properties.BytesPerLine = properties.Width * properties.SamplesPerPixel;
  const size_t room = size_t{properties.BytesPerLine} * 16;
  const auto strip = std::make_unique<uint8_t[]>(size - 1);
  std::copy(data + 1, data + size, strip.get());
  const auto target = std::make_unique<uint8_t[]>(room);
  TSourceCursor source(std::span<const uint8_t>(strip.get(), size - 1));
  TTargetCursor cursor(std::span<uint8_t>(target.get(), room));

  TTIFFJPEGDecoder decoder(properties);
  decoder.DecodeInit();
  try {
    decoder.Decode(source, cursor, static_cast<int32_t>(size - 1), static_cast<int32_t>(room));
    // Whole rows the strip's own data gave, or none when libjpeg had to make up its end.
    const size_t filled = decoder.LastUnpackedBytes();
    if (filled > room || filled % properties.BytesPerLine != 0 ||
        (decoder.TruncatedStrips() > 0 && filled > 0))
      std::abort();
  } catch (const EGraphicCompression&) {
  } catch (const EJPEG&) {
  }
  decoder.DecodeEnd();
  return 0;
}
