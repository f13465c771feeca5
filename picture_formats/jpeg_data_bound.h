#pragma once
// What a JPEG frame's entropy-coded data must hold at the least, so that a header claiming more pixels
// than its bytes can code is refused before anything is sized for it.
//
// Huffman coding spends whole codes of at least one bit. A sequential scan codes every 8 x 8 block of
// its components with a DC code and, at the least, an end-of-block code: 2 bits a block. A progressive
// file codes each component's DC coefficients in its first scans (T.81 G.1.1.1.1; libjpeg reports any
// other order, which counts as garbled data), at least one bit a block; its AC scans may cost next to
// nothing, since one end-of-band run covers up to 32767 blocks. So a frame's data hold at least
// kJPEGSequentialBitsPerBlock or kJPEGProgressiveBitsPerBlock bits for each block of each component.
// The check asks half of that (kJPEGDataMargin): a file whose scans leave a component out (libjpeg
// decodes it flat) still loads when the components it does code hold half the blocks.
//
// Arithmetic coding binds nothing: once its probability estimates have settled, a flat picture adds no
// bit to the code register, and T.81 drops the trailing zero bytes, so a few bytes code a black frame
// of any size. Such files are held to kMostFlatArithmeticPixels unless their bytes would carry the
// picture at the Huffman rate.

#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

inline constexpr uint64_t kJPEGSequentialBitsPerBlock = 2;
inline constexpr uint64_t kJPEGProgressiveBitsPerBlock = 1;
inline constexpr uint64_t kJPEGDataMargin = 2;
// 32 M pixels: a 6000 x 4000 frame and then some, about 100 MB as 24-bit.
inline constexpr uint64_t kMostFlatArithmeticPixels = uint64_t{1} << 25;

// The most bytes of `bytesPerPixel`-byte rows that one byte of the frame's entropy-coded data can give
// (the header read: its components' sampling factors and the coding process).
uint64_t JPEGMaxExpansion(const jpeg_decompress_struct& info, uint64_t bytesPerPixel);

// Refuses, through the readers' shared check (RequireRowData), a frame that `dataBytes` bytes (all the
// file holds after the header) cannot code: "Cannot load image. The JPEG file ends before its picture
// does.", or "... The JPEG picture is too large." for an arithmetic-coded one beyond
// kMostFlatArithmeticPixels.
void RequireJPEGFrameData(const jpeg_decompress_struct& info, uint64_t dataBytes);
