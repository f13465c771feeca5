// The error manager and the stream managers on their own: what leaves libjpeg, and how.
#include <gtest/gtest.h>

#include <jerror.h>

#include <stdexcept>

#include "picture_formats/jpeg_error.h"
#include "picture_formats/jpeg_image.h"
#include "picture_formats/jpeg_stream_managers.h"
#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/support/test_files.h"
#include "toolkit/core/streams.h"

namespace {

// A memory stream that records the sizes asked of it and can be made to fail.
class TScriptedStream : public TMemoryStream {
 public:
  using TMemoryStream::Read;
  using TMemoryStream::Write;
  int64_t Read(std::span<uint8_t> buffer) override {
    ReadSizes.push_back(buffer.size());
    if (FailReadAt >= 0 && static_cast<int>(ReadSizes.size()) > FailReadAt) throw EReadError("read failed");
    return TMemoryStream::Read(buffer);
  }
  int64_t Write(std::span<const uint8_t> buffer) override {
    WriteSizes.push_back(buffer.size());
    if (ThrowOnWrite) throw EWriteError("write failed");
    const int64_t written = TMemoryStream::Write(buffer);
    return ShortWrites ? written - 1 : written;
  }
  std::vector<size_t> ReadSizes, WriteSizes;
  int FailReadAt = -1;  // reads after this many raise
  bool ThrowOnWrite = false;
  bool ShortWrites = false;
};

struct TDecompressor {
  TJPEGErrorManager Errors;
  jpeg_decompress_struct Info{};
  TJPEGStreamSource Source{};
  TDecompressor() {
    Info.err = JPEGErrorManager(Errors);
    JPEGProtected(Errors, [&] { jpeg_create_decompress(&Info); });
  }
  ~TDecompressor() { jpeg_destroy_decompress(&Info); }
  // Reads the whole picture, dropping its rows.
  void Decode(TStream* stream) {
    JPEGStreamSource(&Info, Source, stream);
    JPEGProtected(Errors, [&] {
      jpeg_read_header(&Info, TRUE);
      jpeg_start_decompress(&Info);
    });
    std::vector<JSAMPLE> row(static_cast<size_t>(Info.output_width) * Info.output_components);
    JSAMPLE* const data = row.data();
    JPEGProtected(Errors, [&] {
      while (Info.output_scanline < Info.output_height) {
        JSAMPROW target = data;
        jpeg_read_scanlines(&Info, &target, 1);
      }
      jpeg_finish_decompress(&Info);
    });
  }
};

struct TCompressor {
  TJPEGErrorManager Errors;
  jpeg_compress_struct Info{};
  TJPEGStreamDestination Destination{};
  TCompressor() {
    Info.err = JPEGErrorManager(Errors);
    JPEGProtected(Errors, [&] { jpeg_create_compress(&Info); });
  }
  ~TCompressor() { jpeg_destroy_compress(&Info); }
  // Writes a noisy grey picture (hard to compress, so several buffers fill).
  void Encode(TStream& stream, JDIMENSION width, JDIMENSION height) {
    JPEGStreamDestination(&Info, Destination, stream);
    Info.image_width = width;
    Info.image_height = height;
    Info.input_components = 1;
    Info.in_color_space = JCS_GRAYSCALE;
    std::vector<JSAMPLE> row(width);
    for (JDIMENSION x = 0; x < width; ++x) row[x] = static_cast<JSAMPLE>((x * 7919u) >> 3);
    JSAMPLE* const data = row.data();
    JPEGProtected(Errors, [&] {
      jpeg_set_defaults(&Info);
      jpeg_set_quality(&Info, 100, TRUE);
      jpeg_start_compress(&Info, TRUE);
      while (Info.next_scanline < Info.image_height) {
        data[Info.next_scanline % width] ^= 0x55;
        JSAMPROW source = data;
        jpeg_write_scanlines(&Info, &source, 1);
      }
      jpeg_finish_compress(&Info);
    });
  }
};

TScriptedStream StreamOf(const std::vector<uint8_t>& bytes) {
  TScriptedStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.WriteSizes.clear();
  stream.SetPosition(0);
  return stream;
}

TEST(JpegErrorManager, FatalErrorsBecomeEJpegWithTheMessageCode) {
  TJPEGErrorManager errors;
  jpeg_decompress_struct info{};
  info.err = JPEGErrorManager(errors);
  JPEGProtected(errors, [&] { jpeg_create_decompress(&info); });
  try {
    // Reading a header before giving a source is a state error of the library.
    JPEGProtected(errors, [&] { jpeg_start_decompress(&info); });
    FAIL() << "no error";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.MessageCode(), JERR_BAD_STATE);
    EXPECT_EQ(e.Message(), "JPEG error #" + std::to_string(JERR_BAD_STATE));
  }
  EXPECT_FALSE(errors.Armed);
  // The object stays usable for destruction, and a later protected call runs normally.
  int ran = 0;
  JPEGProtected(errors, [&] { ++ran; });
  EXPECT_EQ(ran, 1);
  jpeg_destroy_decompress(&info);
}

TEST(JpegStreamSource, ReadsInPiecesOf4096Bytes) {
  const std::vector<uint8_t> bytes =
      ReadWholeFile(std::string("/usr/share/doc/libsixel-examples/examples/images/") + "snake.jpg");
  TScriptedStream stream = StreamOf(bytes);
  TDecompressor decompressor;
  decompressor.Decode(&stream);
  ASSERT_GE(stream.ReadSizes.size(), bytes.size() / 4096);
  for (size_t size : stream.ReadSizes) EXPECT_EQ(size, 4096u);
}

TEST(JpegStreamSource, SkipsSegmentsLongerThanTheBuffer) {
  std::vector<uint8_t> bytes = ReadWholeFile(JpegSample("baseline.jpg"));
  // A 10000-byte comment right after the start of image.
  std::vector<uint8_t> comment = {0xFF, 0xFE, 0x27, 0x12};
  comment.resize(0x2712 + 2, 'x');
  bytes.insert(bytes.begin() + 2, comment.begin(), comment.end());
  auto picture = LoadJpegBytes(bytes);
  EXPECT_EQ(MaxDifference(BitmapPixels(picture->GetBitmap()), ReadPnm(JpegSample("baseline.ppm"))), 0);
}

TEST(JpegStreamSource, StreamExceptionsComeOutUnchanged) {
  TScriptedStream stream =
      StreamOf(ReadWholeFile(std::string("/usr/share/doc/libsixel-examples/examples/images/") + "snake.jpg"));
  stream.FailReadAt = 3;
  TDecompressor decompressor;
  try {
    decompressor.Decode(&stream);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "read failed");
  }
  EXPECT_EQ(stream.ReadSizes.size(), 4u);
}

TEST(JpegStreamSource, NothingToReadIsTheEmptyInputError) {
  TScriptedStream empty;
  TDecompressor decompressor;
  try {
    decompressor.Decode(&empty);
    FAIL() << "no error";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.MessageCode(), JERR_INPUT_EMPTY);
  }
}

TEST(JpegStreamDestination, WritesFullBuffersThenTheRest) {
  TScriptedStream stream;
  TCompressor compressor;
  compressor.Encode(stream, 256, 256);
  ASSERT_GE(stream.WriteSizes.size(), 3u);
  for (size_t i = 0; i + 1 < stream.WriteSizes.size(); ++i) EXPECT_EQ(stream.WriteSizes[i], 4096u);
  EXPECT_LE(stream.WriteSizes.back(), 4096u);
  std::vector<uint8_t> written(stream.Bytes().begin(), stream.Bytes().end());
  const TRgbPicture decoded = DecodeWithLibjpeg(written);
  EXPECT_EQ(decoded.Width, 256);
  EXPECT_EQ(decoded.Height, 256);
}

TEST(JpegStreamDestination, ShortWriteIsTheFileWriteError) {
  TScriptedStream stream;
  stream.ShortWrites = true;
  TCompressor compressor;
  try {
    compressor.Encode(stream, 128, 128);
    FAIL() << "no error";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.MessageCode(), JERR_FILE_WRITE);
  }
}

TEST(JpegStreamDestination, StreamExceptionsComeOutUnchanged) {
  TScriptedStream stream;
  stream.ThrowOnWrite = true;
  TCompressor compressor;
  EXPECT_THROW(compressor.Encode(stream, 128, 128), EWriteError);
  EXPECT_EQ(stream.WriteSizes.size(), 1u) << "the library stops at the first failure";
}

}  // namespace
