#pragma once
// Merging a picture into the result band by band while it is decoded. An operation that sets each
// pixel of the result from the same pixel of the picture (and of the result) alone may have a row form;
// the list driver then decodes a JPEG picture a band of a few rows at a time and merges each band while
// it is still in the processor's cache, never holding the whole picture: a stacking run costs little
// more than decoding its files.

#include <cstdint>
#include <string>

#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/pixel_memory.h"
#include "workbench/image_op.h"

// Row y of the picture (width pixels of blue, green and red) merged with row y of the result, as the
// operation merges them, into Out (all 3 x width bytes written); Param is the operation's. Out is the
// result's row itself (a merge in place) or a row of memory of its own, which the result's row never
// overlaps; that one it may write with streaming stores (the merger fences them after each band).
using TRowOp = void (*)(uint8_t* Out, const uint8_t* ResultRow, const uint8_t* PictureRow, int Width, int Row,
                        intptr_t Param);

// What an operation's row form makes of a picture before its first row, once the common checks passed
// (a 24-bit result of the picture's size, not empty).
enum class TRowStart {
  rsMerge,  // merge it band by band
  rsWhole,  // the picture must go through the operation whole: the operation refuses it (and says
            // nothing here), or may raise where rows cannot
};
// The row form's own checks and preparations for one picture, with the operation's Param; it may raise,
// as the operation would.
using TRowStartCheck = TRowStart (*)(TBitmap& Result, intptr_t Param);

// Gives an operation its row form. The row form does the merge alone: the checks of the operation are
// made before any row, the common ones by the merger and the others by the start check (none when the
// common ones are all). The stacking and reference operations have theirs.
void RegisterRowForm(TImageOp op, TRowOp rows, TRowStartCheck start = nullptr);

struct TRowForm {
  TRowOp Rows = nullptr;
  TRowStartCheck Start = nullptr;
  explicit operator bool() const { return Rows != nullptr; }
};
// The operation's row form; none when it has none.
TRowForm RowFormOf(TImageOp op);

enum class TBandMergeResult {
  bmMerged,     // the picture was merged, as LoadPicture and the operation would have merged it
  bmFailed,     // it did not load, or the memory its merge needs could not be had (FailureReason says
                // why): the result is unchanged
  bmLoadWhole,  // it was not merged band by band (not a regular JPEG file, or not one that is whole
                // before its first rows, or one that does not fit the result, or its start check asks
                // for it): load it whole and merge it with the operation, which also finds why a
                // picture does not fit
};

// The second result buffer of a band merge, kept from picture to picture, so that no picture allocates
// or pages in memory of its own.
struct TSecondResult {
  TPixelMemory Pixels;  // laid out as the result's pixels, rows' padding cleared for the layout below
  int Stride = 0;
  int Height = 0;
};

// Merges picture files band by band; one merger serves a whole run, keeping its buffers.
//
// libjpeg may find a picture's data garbled only after some of its bands were merged (in a single scan,
// a drift that began anywhere shows at its end). Such a picture is merged into the second result
// buffer, reading the result and writing beside it, and the result takes that buffer's pixels (and
// gives it its own) only once the picture is through: a picture that fails leaves the result as it
// was, and no row is ever copied to be put back. A picture whose data were all read and found whole
// before its first band is merged in place.
class TBandMerger {
 public:
  // An exception of the row form's start check passes to the caller, as the operation's would.
  TBandMergeResult Merge(const std::string& fileName, TBitmap& result, const TRowForm& form, intptr_t param);
  // Why the last picture failed (the decoder's reason, or the readers' "too large" message when memory
  // could not be had).
  const std::string& FailureReason() const { return FFailureReason; }

 private:
  TMemoryStream FFile;  // the file's bytes: decoding checks it whole before handing over any row
  TSecondResult FSecond;
  std::string FFailureReason;
};
