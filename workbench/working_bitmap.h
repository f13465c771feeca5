#pragma once
// The working bitmap: every picture the workbench touches is a 24-bit TBitmap (bytes blue, green, red).
// These routines load any registered picture file into one, save one as BMP or JPEG by the file's
// extension and reset one to the empty state (1 x 1, black). They report failure by their result.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/graphics/bitmap.h"

// Bits per pixel of a pixel-format code; -1 for pfDevice, pfCustom and unknown codes.
int PixelFormatBits(TPixelFormat format);
// The code of 1, 4, 8, 15, 16, 24 or 32 bits per pixel; pfCustom for any other value.
TPixelFormat BitsPixelFormat(int bits);

// How every per-pixel loop walks a bitmap: the address of row 0 and the step to the next row, taken
// once per bitmap and call (negative for bottom-up rows, padding included); a bitmap of a single row is
// walked without a step. Pixels follow every 3 bytes (24-bit) or 4 bytes (32-bit).
struct TRowWalk {
  uint8_t* Row0;
  ptrdiff_t Step;
};
// The bitmap must have at least one row.
TRowWalk WalkRows(TBitmap& bitmap);

// Whether the file's extension is registered in the picture-format list.
bool IsPictureExtension(const std::string& fileName);

void FillBitmap(TBitmap& bitmap, TColor color);
// Makes the bitmap the picture's size in the given format and draws the picture into it.
void CopyToBitmap(TGraphic* picture, TBitmap* bitmap, TPixelFormat format);
// 24-bit, 1 x 1, the pixel black. Does nothing for none.
void ResetBitmap(TBitmap* bitmap);
// Replaces the variable's bitmap by a new empty one; false (and none) when it cannot be reset.
bool NewBitmap(std::unique_ptr<TBitmap>& bitmap);

// Why a picture whose reader flags its data as ended early (cut short, or garbled where the reader
// can tell) is not used.
inline constexpr const char* kDataEndedEarlyReason = "the picture's data are cut short or damaged";

// Loads the file into the bitmap as 24-bit and reports the pixel format the file's picture had.
// False for an unregistered extension, a missing file, a name that is no regular file (a pipe or a
// device is never opened), or any failure while loading (a picture whose data end before its last row
// included); reason then says why, in words a user can act on (the reader's or the system's own when
// they have one). Nothing of a picture that fails stays in the bitmap: it is left empty (1 x 1 black),
// or as it was when the picture failed before reaching it.
bool LoadPicture(TBitmap& bitmap, const std::string& fileName, TPixelFormat& fileFormat, std::string& reason);
bool LoadPicture(TBitmap& bitmap, const std::string& fileName, TPixelFormat& fileFormat);
bool LoadPicture(TBitmap& bitmap, const std::string& fileName, std::string& reason);
bool LoadPicture(TBitmap& bitmap, const std::string& fileName);

// Writes the bitmap as JPEG (quality 90) when the upper-cased extension occurs within ".JPG.JPS.JPEG",
// else as BMP in the given pixel format, under the name with its extension replaced by ".bmp" unless it
// occurs within ".BMP". An empty name takes the default. The name actually written is handed back.
// A BMP write of a bitmap already in the wanted format raises the toolkit's file error to the caller.
bool SavePicture(TBitmap& bitmap, std::string& fileName, const std::string& defaultName, TPixelFormat format);
// Every save writes a temporary file beside the target that replaces it only once whole: a file that
// was there stays as it was when the save fails, keeps its permissions, and a name that is a link
// writes the file it points to; a name that is no regular file (a pipe, a device) is refused.
//
// The same save for callers that must not lose a failure: every failure raises, the toolkit's file
// error when the file cannot be created and its write error when it is written short. The numbered
// steps are saved this way.
void WritePicture(TBitmap& bitmap, std::string& fileName, const std::string& defaultName,
                  TPixelFormat format);

// The name SavePicture writes for fileName (after the default was applied).
std::string SavedPictureName(const std::string& fileName);
// Whether SavePicture writes the name as JPEG.
bool IsJpegSaveName(const std::string& fileName);
// The save dialogs' filter: the registered picture types SavePicture writes under their own name (BMP
// and JPEG), never one it would write as another.
std::string SavedPictureFilter();
