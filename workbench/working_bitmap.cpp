#include "workbench/working_bitmap.h"

#include "picture_formats/format_list.h"
#include "picture_formats/jpeg_image.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/picture.h"

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

// Moves a decoded bitmap into the target as 24-bit: its pixels are taken over, not copied.
void AdoptAs24Bit(TBitmap& source, TBitmap& target) {
  source.SetPixelFormat(pf24bit);
  target.TakeOver(source);
}

}  // namespace

bool LoadPicture(TBitmap& bitmap, const std::string& fileName, TPixelFormat& fileFormat) {
  fileFormat = pf24bit;
  // A missing file is a failure like any unreadable picture, so the runs count and mark it.
  if (!IsPictureExtension(fileName) || !FileExists(fileName)) {
    ResetBitmap(&bitmap);
    return false;
  }
  try {
    TPicture picture;
    picture.LoadFromFile(fileName);
    TGraphic* graphic = picture.Graphic();
    if (auto* source = dynamic_cast<TBitmap*>(graphic)) {
      fileFormat = source->PixelFormat();
      AdoptAs24Bit(*source, bitmap);
    } else if (auto* jpeg = dynamic_cast<TJPEGImage*>(graphic)) {
      AdoptAs24Bit(*jpeg->ReleaseBitmap(), bitmap);
    } else {
      CopyToBitmap(graphic, &bitmap, pf24bit);
    }
    // A reader that ends without pixels has loaded nothing: left as it is, a 0 x 0 first picture of a
    // run would make every later picture fail its size test.
    if (bitmap.Empty()) {
      ResetBitmap(&bitmap);
      return false;
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool LoadPicture(TBitmap& bitmap, const std::string& fileName) {
  TPixelFormat ignored;
  return LoadPicture(bitmap, fileName, ignored);
}

bool IsJpegSaveName(const std::string& fileName) {
  return AnsiPos(AnsiUpperCase(ExtractFileExt(fileName)), ".JPG.JPS.JPEG") > 0;
}

std::string SavedPictureName(const std::string& fileName) {
  const std::string extension = AnsiUpperCase(ExtractFileExt(fileName));
  if (AnsiPos(extension, ".BMP.JPG.JPS.JPEG") == 0) return ChangeFileExt(fileName, ".bmp");
  return fileName;
}

bool SavePicture(TBitmap& bitmap, std::string& fileName, const std::string& defaultName,
                 TPixelFormat format) {
  if (fileName.empty()) fileName = defaultName;
  const bool asJpeg = IsJpegSaveName(fileName);
  fileName = SavedPictureName(fileName);

  if (asJpeg) {
    try {
      TJPEGImage jpeg;
      jpeg.Assign(bitmap);
      jpeg.JPEGNeeded();  // compresses once with the class's defaults (quality 90)
      jpeg.SaveToFile(fileName);
      return true;
    } catch (const std::exception&) {
      return false;
    }
  }

  if (bitmap.PixelFormat() == format) {
    // Not guarded: a write failure reaches the caller as the toolkit's file error.
    bitmap.SaveToFile(fileName);
    return true;
  }
  try {
    TBitmap converted;
    CopyToBitmap(&bitmap, &converted, format);
    converted.SaveToFile(fileName);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
