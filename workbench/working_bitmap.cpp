#include "workbench/working_bitmap.h"

#include "picture_formats/format_list.h"
#include "picture_formats/jpeg_image.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_replace.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/streams.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/picture.h"
#include "workbench/failure_texts.h"

int PixelFormatBits(TPixelFormat format) {
  switch (format) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
      return 15;
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    case pf32bit:
      return 32;
    default:
      return -1;
  }
}

TPixelFormat BitsPixelFormat(int bits) {
  switch (bits) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 15:
      return pf15bit;
    case 16:
      return pf16bit;
    case 24:
      return pf24bit;
    case 32:
      return pf32bit;
    default:
      return pfCustom;
  }
}

TRowWalk WalkRows(TBitmap& bitmap) {
  uint8_t* const row0 = bitmap.ScanLine(0);
  return {row0, bitmap.Height() > 1 ? bitmap.ScanLine(1) - row0 : 0};
}

bool IsPictureExtension(const std::string& fileName) {
  std::string extension = ExtractFileExt(fileName);
  if (!extension.empty()) extension.erase(0, 1);
  return FileFormatList && FileFormatList->FindExtension(extension) != -1;
}

void FillBitmap(TBitmap& bitmap, TColor color) {
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = color;
  canvas.FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

void CopyToBitmap(TGraphic* picture, TBitmap* bitmap, TPixelFormat format) {
  if (!picture || !bitmap) return;
  bitmap->SetPixelFormat(format);
  bitmap->SetSize(picture->Width(), picture->Height());
  bitmap->Canvas().Draw(0, 0, *picture);
}

void ResetBitmap(TBitmap* bitmap) {
  if (!bitmap) return;
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(1, 1);
  bitmap->Canvas().SetPixel(0, 0, clBlack);
}

bool NewBitmap(std::unique_ptr<TBitmap>& bitmap) {
  bitmap.reset();
  auto fresh = std::make_unique<TBitmap>();
  try {
    ResetBitmap(fresh.get());
  } catch (const std::exception&) {
    return false;
  }
  bitmap = std::move(fresh);
  return true;
}

namespace {

constexpr const char* kNoPicture = "the file holds no picture";

// Moves a decoded bitmap into the target as 24-bit: its pixels are taken over, not copied.
void AdoptAs24Bit(TBitmap& source, TBitmap& target) {
  source.SetPixelFormat(pf24bit);
  target.TakeOver(source);
}

// The night's frames: decoded straight into the bitmap's rows, which a run keeps from one picture to
// the next. The target is often the result itself (the first picture of a run), so a picture that
// fails must not stay in it half decoded: the rows past the end of a cut file are the library's
// filling, not the picture, and a damaged file stops part of the way.
bool LoadJpegPicture(TBitmap& bitmap, const std::string& fileName, std::string& reason) {
  try {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    TJPEGImage jpeg;
    jpeg.DecodeToWorkingBitmap(file, bitmap);
    if (!jpeg.DataEndedEarly()) return true;
    reason = kDataEndedEarlyReason;
  } catch (const std::exception& error) {
    reason = error.what();
  }
  ResetBitmap(&bitmap);
  return false;
}

// Why no picture type is read from the name's extension.
std::string UnknownExtensionReason(const std::string& fileName) {
  const std::string extension = ExtractFileExt(fileName);
  if (extension.size() <= 1) return "the name has no picture extension";
  return Format("no picture type is read from \"%s\" files", {extension});
}

}  // namespace

bool LoadPicture(TBitmap& bitmap, const std::string& fileName, TPixelFormat& fileFormat,
                 std::string& reason) {
  fileFormat = pf24bit;
  // A missing file is a failure like any unreadable picture, so the runs count and mark it; a pipe or
  // a device is never opened.
  reason = IsPictureExtension(fileName) ? UnreadableFileReason(fileName) : UnknownExtensionReason(fileName);
  if (!reason.empty()) {
    ResetBitmap(&bitmap);
    return false;
  }
  if (TPicture::FindGraphicClass(ExtractFileExt(fileName).erase(0, 1)) == TJPEGImage::StaticClass())
    return LoadJpegPicture(bitmap, fileName, reason);
  try {
    TPicture picture;
    picture.LoadFromFile(fileName);
    TGraphic* graphic = picture.Graphic();
    // What a reader kept of a cut file is part picture, part filler: a run must not merge it.
    if (graphic->DataEndedEarly()) {
      ResetBitmap(&bitmap);
      reason = kDataEndedEarlyReason;
      return false;
    }
    if (auto* source = dynamic_cast<TBitmap*>(graphic)) {
      fileFormat = source->PixelFormat();
      AdoptAs24Bit(*source, bitmap);
    } else {
      CopyToBitmap(graphic, &bitmap, pf24bit);
    }
    // A reader that ends without pixels has loaded nothing: left as it is, a 0 x 0 first picture of a
    // run would make every later picture fail its size test.
    if (bitmap.Empty()) {
      ResetBitmap(&bitmap);
      reason = kNoPicture;
      return false;
    }
    return true;
  } catch (const std::exception& error) {
    reason = error.what();
    return false;
  }
}

bool LoadPicture(TBitmap& bitmap, const std::string& fileName, TPixelFormat& fileFormat) {
  std::string ignored;
  return LoadPicture(bitmap, fileName, fileFormat, ignored);
}

bool LoadPicture(TBitmap& bitmap, const std::string& fileName, std::string& reason) {
  TPixelFormat ignored;
  return LoadPicture(bitmap, fileName, ignored, reason);
}

bool LoadPicture(TBitmap& bitmap, const std::string& fileName) {
  TPixelFormat ignoredFormat;
  std::string ignoredReason;
  return LoadPicture(bitmap, fileName, ignoredFormat, ignoredReason);
}

bool IsJpegSaveName(const std::string& fileName) {
  return AnsiPos(AnsiUpperCase(ExtractFileExt(fileName)), ".JPG.JPS.JPEG") > 0;
}

std::string SavedPictureName(const std::string& fileName) {
  const std::string extension = AnsiUpperCase(ExtractFileExt(fileName));
  if (AnsiPos(extension, ".BMP.JPG.JPS.JPEG") == 0) return ChangeFileExt(fileName, ".bmp");
  return fileName;
}

std::string SavedPictureFilter() {
  return TPicture::GraphicFilter(TGraphic::StaticClass(), [](const std::string& extension) {
    const std::string name = "picture." + extension;
    return SavedPictureName(name) == name;
  });
}

namespace {

// Writes the graphic into a temporary file that replaces the target only once it is whole: a file
// that was there stays as it was when the write fails (a full disk, say), and no truncated picture
// may pass for a result. A JPEG is compressed before anything is created. Raises the toolkit's file
// error (creation, a target that is no regular file) or its write error.
void WriteGraphicFile(TGraphic& graphic, const std::string& fileName) {
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(&graphic)) jpeg->JPEGNeeded();
  TFileReplacement file(fileName);
  graphic.SaveToStream(file.Stream());
  file.Commit();
}

void WriteJpeg(TBitmap& bitmap, const std::string& fileName) {
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);  // compressed with the class's defaults (quality 90)
  WriteGraphicFile(jpeg, fileName);
}

void WriteBmp(TBitmap& bitmap, const std::string& fileName, TPixelFormat format) {
  if (bitmap.PixelFormat() == format) {
    WriteGraphicFile(bitmap, fileName);
    return;
  }
  TBitmap converted;
  CopyToBitmap(&bitmap, &converted, format);
  WriteGraphicFile(converted, fileName);
}

}  // namespace

bool SavePicture(TBitmap& bitmap, std::string& fileName, const std::string& defaultName,
                 TPixelFormat format) {
  if (fileName.empty()) fileName = defaultName;
  const bool asJpeg = IsJpegSaveName(fileName);
  fileName = SavedPictureName(fileName);
  // Not guarded: a BMP write of a bitmap already in the wanted format reaches the caller as the
  // toolkit's file error; the other saves report failure by their result.
  if (!asJpeg && bitmap.PixelFormat() == format) {
    WriteBmp(bitmap, fileName, format);
    return true;
  }
  try {
    if (asJpeg)
      WriteJpeg(bitmap, fileName);
    else
      WriteBmp(bitmap, fileName, format);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void WritePicture(TBitmap& bitmap, std::string& fileName, const std::string& defaultName,
                  TPixelFormat format) {
  if (fileName.empty()) fileName = defaultName;
  const bool asJpeg = IsJpegSaveName(fileName);
  fileName = SavedPictureName(fileName);
  if (asJpeg)
    WriteJpeg(bitmap, fileName);
  else
    WriteBmp(bitmap, fileName, format);
}
