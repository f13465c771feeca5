#pragma once
// libjpeg source and destination managers over the toolkit's streams: the source reads 64 KiB at a
// time (a file read straight from disk costs a system call per piece) and hands them to the library in
// small pieces (JPEGCarefulPieceBytes), the destination writes 4096 bytes at a time. Both run inside libjpeg:
// a stream exception is parked and raised once the library call returns (see jpeg_error.h), so the object's
// err pointer must be a TJPEGErrorManager.

#include <array>
#include <cstdint>
#include <cstdio>
#include <type_traits>

#include <jpeglib.h>

class TMemoryStream;
class TStream;

inline constexpr size_t JPEGSourceBufferSize = 65536;
// The most bytes a source hands libjpeg at a time. libjpeg-turbo decodes a Huffman-coded MCU on a fast
// path whenever its buffer holds at least 512 bytes for each block of the MCU (jdhuff.c), and that path
// decodes a code no table holds as a zero coefficient without a word; the careful path, taken with less
// in the buffer (or with restart markers), reports it (JWRN_HUFF_BAD_CODE), which marks the picture's
// data garbled. With fewer than 512 bytes at a time every MCU takes the careful path, on every road,
// whatever the file's layout: the same bytes always come to the same decision. The careful path
// decodes every valid code to the same coefficients as the fast one.
inline constexpr size_t JPEGCarefulPieceBytes = 511;
inline constexpr size_t JPEGStreamBufferSize = 4096;

struct TJPEGStreamSource {
  jpeg_source_mgr Pub;    // first member: the library only sees this part
  TStream* Stream;        // none reads as an empty stream
  TMemoryStream* Memory;  // the stream when its bytes are in memory: read in place, not copied
  const JOCTET* Pending;  // bytes read from the stream that the library was not handed yet
  size_t PendingCount;
  bool StartOfFile;
  bool EndedEarly;  // the library asked for more data than the stream held
  std::array<JOCTET, JPEGSourceBufferSize> Buffer;
};
static_assert(std::is_standard_layout_v<TJPEGStreamSource>);

struct TJPEGStreamDestination {
  jpeg_destination_mgr Pub;  // first member
  TStream* Stream;
  std::array<JOCTET, JPEGStreamBufferSize> Buffer;
};
static_assert(std::is_standard_layout_v<TJPEGStreamDestination>);

// Reads the stream from its current position (a memory stream's bytes in place), handing the library at
// most JPEGCarefulPieceBytes at a time. A stream that gives nothing at all is the library's empty-input
// error; one that ends early is finished with an end-of-image marker, so a truncated file decodes as far
// as its data goes (and EndedEarly tells it happened).
void JPEGStreamSource(j_decompress_ptr info, TJPEGStreamSource& source, TStream* stream);

// The bytes the library has not used yet: those it was handed, those read and not handed yet, and the
// rest of the stream.
uint64_t JPEGSourceBytesLeft(TJPEGStreamSource& source);

// Writes through the buffer at the stream's current position; a short write is the library's
// file-write error.
void JPEGStreamDestination(j_compress_ptr info, TJPEGStreamDestination& destination, TStream& stream);
