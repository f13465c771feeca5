#pragma once
// PNG files built byte by byte for the reader's tests.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>

#include "picture_formats/png_graphic.h"
#include "tests/picture_formats/picture_test_support.h"

inline void PutBE32(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Length, type, data and the CRC of type and data.
// Sized once and filled in place: GCC 12 misreports growing inserts here in optimised builds.
inline Bytes Chunk(const std::string& type, const Bytes& data) {
  Bytes out(4 + type.size() + data.size() + 4);
  const auto putBE32 = [&out](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
  };
  putBE32(0, static_cast<uint32_t>(data.size()));
  std::copy(type.begin(), type.end(), out.begin() + 4);
  std::copy(data.begin(), data.end(), out.begin() + 4 + static_cast<ptrdiff_t>(type.size()));
  const size_t crcAt = out.size() - 4;
  putBE32(crcAt, static_cast<uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(crcAt - 4))));
  return out;
}

inline Bytes IHDR(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace = 0,
                  uint8_t compression = 0) {
  Bytes data;
  PutBE32(data, width);
  PutBE32(data, height);
  data.insert(data.end(), {depth, colorType, compression, 0, interlace});
  return Chunk("IHDR", data);
}

// A zlib stream; level 0 stores the bytes as they are.
inline Bytes Deflate(const Bytes& raw, int level = 9) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes out(size);
  EXPECT_EQ(compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level), Z_OK);
  out.resize(size);
  return out;
}

// The signature and the chunks.
inline Bytes Png(const std::vector<Bytes>& chunks) {
  Bytes out(PNGSignature.begin(), PNGSignature.end());
  for (const Bytes& chunk : chunks) out.insert(out.end(), chunk.begin(), chunk.end());
  return out;
}

// One IDAT chunk holding `raw` (rows with their filter bytes).
inline Bytes SimplePng(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, const Bytes& raw,
                       uint8_t interlace = 0) {
  return Png(
      {IHDR(width, height, depth, colorType, interlace), Chunk("IDAT", Deflate(raw)), Chunk("IEND", {})});
}

inline void LoadInto(TPNGGraphic& graphic, const Bytes& file) {
  TMemoryStream stream;
  stream.WriteBuffer(file);
  stream.SetPosition(0);
  graphic.LoadFromStream(stream);
}

// The message of the library exception a load raises, or "<nothing raised>".
inline std::string LoadError(const Bytes& file) {
  std::string message = "<nothing raised>";
  try {
    LoadBytes<TPNGGraphic>(file);
  } catch (const Exception& e) {
    message = e.Message();
  }
  return message;
}
