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
// The check asks half of that (kJPEGDataMargin): a file whose scans leave a component out is refused for
// its missing scans once they were read (jpeg_frame_scans.h), and so is told why, when the components it
// does code hold half the blocks.
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

// Bytes of rows, bytesPerPixel a pixel, that one byte of entropy-coded data can give in a frame whose MCU
// covers hvMax (Hmax x Vmax) blocks' worth of pixels, 64 each, with `blocks` blocks of its components
// (the sum of Hc x Vc), each costing at least bitsPerBlock bits: 8 bits x 64 hvMax pixels x
// bytesPerPixel x kJPEGDataMargin over blocks x bitsPerBlock, rounded up. Edge blocks only add to the
// blocks.
constexpr uint64_t JPEGExpansion(uint64_t hvMax, uint64_t blocks, uint64_t bytesPerPixel,
                                 uint64_t bitsPerBlock) {
  const uint64_t rowBytes = 8 * 64 * hvMax * bytesPerPixel * kJPEGDataMargin;
  const uint64_t bits = (blocks > 0 ? blocks : 1) * bitsPerBlock;
  return (rowBytes + bits - 1) / bits;
}

// The most for any frame of `components` components, whatever its sampling factors (1 to 4 each way)
// and coding process. A component that alone reaches both Hmax and Vmax costs Hmax x Vmax blocks itself;
// two that reach them apart cost Hmax + Vmax at the least, every other component at least 1. So the
// pixels per block are at most Hmax Vmax / (Hmax + Vmax + components - 2), the most with Hmax = Vmax =
// 4: sampling factors (4,1), (1,4) and (1,1) for the rest, 16 blocks' worth of pixels for components + 6
// blocks (twice the pixels a block of 4 x 4 chroma subsampling covers). One component covers 64 pixels a
// block, and progressive coding spends the fewest bits.
constexpr uint64_t JPEGMostExpansion(uint64_t components, uint64_t bytesPerPixel) {
  if (components <= 1) return JPEGExpansion(1, 1, bytesPerPixel, kJPEGProgressiveBitsPerBlock);
  return JPEGExpansion(16, components + 6, bytesPerPixel, kJPEGProgressiveBitsPerBlock);
}

// The most bytes of `bytesPerPixel`-byte rows that one byte of the frame's entropy-coded data can give
// (the header read: its components' sampling factors and the coding process).
uint64_t JPEGMaxExpansion(const jpeg_decompress_struct& info, uint64_t bytesPerPixel);

// Refuses, through the readers' shared check (RequireRowData), a frame that `dataBytes` bytes (all the
// file holds after the header) cannot code: "Cannot load image. The JPEG file ends before its picture
// does.", or "... The JPEG picture is too large." for an arithmetic-coded one beyond
// kMostFlatArithmeticPixels.
void RequireJPEGFrameData(const jpeg_decompress_struct& info, uint64_t dataBytes);
