#pragma once
// Inside the drawing layer: what drawing one metafile may cost, in proportion to the file's size. A
// few bytes of records can ask for gigabytes of bitmaps or for clipping that takes minutes to work out:
// a run-length DIB that holds only its end code, a pattern brush kept for every record that makes one,
// a path of thousands of figures made the clipping, a region cut by a hundred thousand rectangles, a
// thousand fills of the whole of a large picture. Each
// cost is counted as it comes; past its budget the drawing stops with EInvalidGraphic, which names
// the metafile and the cost.

#include <cstddef>
#include <cstdint>

class TMetafileBudget {
 public:
  explicit TMetafileBudget(size_t fileSize);

  // Pixels of a bitmap decoded (blits and pattern brushes alike).
  void SpendBitmapPixels(uint64_t pixels);
  // Pixels of a pattern brush, held while the drawing lasts.
  void SpendBrushPixels(uint64_t pixels);
  // Steps of clipping work: rectangles of the regions combined or handed to the painter, and the
  // crossings of a clipping path's edges with the rows of pixels.
  void SpendClipWork(uint64_t steps);
  // Painting, in pixels of a solid fill that take as long (see metafile_paint_cost.h), spent before each
  // record paints.
  void SpendDrawing(double solidFillPixels);

 private:
  uint64_t FFileSize;
  uint64_t FBitmapPixels = 0;
  uint64_t FBrushPixels = 0;
  uint64_t FClipWork = 0;
  uint64_t FDrawing = 0;
};

// Raises the error of a picture or a bitmap of width x height pixels that memory cannot hold.
[[noreturn]] void RefuseTooLarge(int width, int height);
