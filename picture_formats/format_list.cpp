#include "picture_formats/format_list.h"

#include <algorithm>

#include "picture_formats/autodesk_graphic.h"
#include "picture_formats/cut_graphic.h"
#include "picture_formats/gif_graphic.h"
#include "picture_formats/icon_png.h"
#include "picture_formats/jpeg_image.h"
#include "picture_formats/pcd_graphic.h"
#include "picture_formats/pcx_graphic.h"
#include "picture_formats/png_graphic.h"
#include "picture_formats/ppm_graphic.h"
#include "picture_formats/psd_graphic.h"
#include "picture_formats/psp_graphic.h"
#include "picture_formats/rla_graphic.h"
#include "picture_formats/sgi_graphic.h"
#include "picture_formats/targa_graphic.h"
#include "picture_formats/tiff_graphic.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/lists.h"
#include "toolkit/core/messages.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/icon.h"
#include "toolkit/graphics/metafile.h"
#include "toolkit/graphics/picture.h"

std::unique_ptr<TFileFormatList> FileFormatList;

namespace {

constexpr const char* gesRegistration = "Attempt to register %s twice.";

[[noreturn]] void RaiseListIndexError(int32_t index) {
  throw EListError(Format(SListIndexError, {index}));
}

}  // namespace

TFileFormatList::~TFileFormatList() {
  Clear();
}

void TFileFormatList::Clear() {
  for (const auto& classEntry : FClassList) TPicture::UnregisterGraphicClass(classEntry->PictureClass);
  FClassList.clear();
  FExtensionList.clear();
}

int32_t TFileFormatList::FindExtension(const std::string& extension) const {
  if (extension.empty()) return -1;
  for (size_t i = 0; i < FExtensionList.size(); ++i)
    if (CompareText(FExtensionList[i]->Extension, extension) == 0) return static_cast<int32_t>(i);
  return -1;
}

int32_t TFileFormatList::FindGraphicClass(TGraphicClass graphicClass) const {
  for (size_t i = 0; i < FClassList.size(); ++i)
    if (FClassList[i]->PictureClass == graphicClass) return static_cast<int32_t>(i);
  return -1;
}

void TFileFormatList::GetExtensionList(TStrings& list) const {
  list.Clear();
  for (const auto& entry : FExtensionList) list.Add(entry->Extension);
}

void TFileFormatList::BindToClass(TExtensionEntry& entry, const std::string& commonDescription,
                                  TGraphicClass graphicClass) {
  const int32_t index = FindGraphicClass(graphicClass);
  TClassEntry* classEntry;
  if (index < 0) {
    FClassList.push_back(std::make_unique<TClassEntry>());
    classEntry = FClassList.back().get();
    classEntry->PictureClass = graphicClass;
  } else {
    classEntry = FClassList[static_cast<size_t>(index)].get();
  }
  // A later registration with a common description renames the class for all of its extensions.
  if (!commonDescription.empty()) classEntry->CommonDescription = commonDescription;
  ++classEntry->ExtensionCount;
  entry.ClassEntry = classEntry;
}

void TFileFormatList::RemoveClassEntry(const TClassEntry* classEntry) {
  std::erase_if(FClassList, [classEntry](const auto& entry) { return entry.get() == classEntry; });
}

void TFileFormatList::RegisterFileFormat(const std::string& extension, const std::string& commonDescription,
                                         const std::string& individualDescription, TFormatKinds formatKinds,
                                         bool replace, TGraphicClass graphicClass) {
  if (extension.empty()) return;
  const int32_t index = FindExtension(extension);
  TExtensionEntry* entry;
  if (index < 0) {
    FExtensionList.push_back(std::make_unique<TExtensionEntry>());
    entry = FExtensionList.back().get();
    entry->Extension = extension;
    entry->IndividualDescription = individualDescription;
    entry->FormatKinds = formatKinds;
    BindToClass(*entry, commonDescription, graphicClass);
  } else {
    if (!replace) throw EInvalidGraphic(Format(gesRegistration, {extension}));
    entry = FExtensionList[static_cast<size_t>(index)].get();
    if (entry->ClassEntry->PictureClass != graphicClass) {
      TClassEntry* oldClass = entry->ClassEntry;
      BindToClass(*entry, commonDescription, graphicClass);
      if (--oldClass->ExtensionCount == 0) RemoveClassEntry(oldClass);
    }
  }
  // The toolkit gets the description this call names, even where a replaced entry keeps its own.
  const std::string& description =
      individualDescription.empty() ? entry->ClassEntry->CommonDescription : individualDescription;
  TPicture::RegisterFileFormat(extension, description, graphicClass);
}

void TFileFormatList::UnregisterFileFormat(const std::string& extension, TGraphicClass graphicClass) {
  if (!extension.empty()) {
    const int32_t index = FindExtension(extension);
    if (index < 0) return;
    TClassEntry* classEntry = FExtensionList[static_cast<size_t>(index)]->ClassEntry;
    if (--classEntry->ExtensionCount == 0) {
      TPicture::UnregisterGraphicClass(classEntry->PictureClass);
      RemoveClassEntry(classEntry);
    }
    FExtensionList.erase(FExtensionList.begin() + index);
    return;
  }

  const int32_t classIndex = FindGraphicClass(graphicClass);
  if (classIndex < 0) RaiseListIndexError(classIndex);
  TClassEntry* classEntry = FClassList[static_cast<size_t>(classIndex)].get();
  for (size_t i = FExtensionList.size(); i-- > 0 && classEntry->ExtensionCount > 0;) {
    if (FExtensionList[i]->ClassEntry != classEntry) continue;
    --classEntry->ExtensionCount;
    FExtensionList.erase(FExtensionList.begin() + static_cast<std::ptrdiff_t>(i));
  }
  RemoveClassEntry(classEntry);
  TPicture::UnregisterGraphicClass(graphicClass);
}

namespace {

struct TStartupRow {
  const char* Extension;
  const char* CommonDescription;
  const char* IndividualDescription;
  TFormatKinds Kinds;
  TGraphicClass (*GraphicClass)();
};

// The 42 start-up registrations, in their fixed order.
const TStartupRow kStartupRows[] = {
    {"bmp", "Windows bitmaps", "", 8, TBitmap::StaticClass},
    {"ico", "Windows icons", "", 8, TIcon::StaticClass},
    {"wmf", "Windows metafiles", "", 16, TMetafile::StaticClass},
    {"emf", "Windows metafiles", "Windows enhanced meta files", 16, TMetafile::StaticClass},
    {"jfif", "JPG images", "JFIF images", 8, TJPEGImage::StaticClass},
    {"jpg", "", "JPG images", 8, TJPEGImage::StaticClass},
    {"jpe", "", "JPE images", 8, TJPEGImage::StaticClass},
    {"jpeg", "", "JPEG images", 8, TJPEGImage::StaticClass},
    {"jps", "", "JPEG images", 8, TJPEGImage::StaticClass},
    {"thm", "", "JPEG images", 8, TJPEGImage::StaticClass},
    {"rle", "Windows bitmaps", "Run length encoded Windows bitmaps", 8, TBitmap::StaticClass},
    {"dib", "", "Device independant Windows bitmaps", 8, TBitmap::StaticClass},
    {"win", "Truevision images", "", 8, TTargaGraphic::StaticClass},
    {"vst", "", "", 8, TTargaGraphic::StaticClass},
    {"vda", "", "", 8, TTargaGraphic::StaticClass},
    {"tga", "", "", 8, TTargaGraphic::StaticClass},
    {"icb", "", "", 8, TTargaGraphic::StaticClass},
    {"tiff", "Tagged image file format images", "Macintosh TIFF images", 12, TTIFFGraphic::StaticClass},
    {"tif", "", "PC TIF images", 12, TTIFFGraphic::StaticClass},
    {"fax", "", "GFI fax images", 12, TTIFFGraphic::StaticClass},
    {"eps", "Encapsulated Postscript images", "", 8, TEPSGraphic::StaticClass},
    {"pcx", "ZSoft Paintbrush images", "", 8, TPCXGraphic::StaticClass},
    {"pcc", "", "", 8, TPCXGraphic::StaticClass},
    {"scr", "", "Word 5.x screen capture images", 8, TPCXGraphic::StaticClass},
    {"rpf", "Alias/Wavefront images", "", 8, TRLAGraphic::StaticClass},
    {"rla", "", "", 8, TRLAGraphic::StaticClass},
    {"sgi", "SGI images", "SGI true color images", 8, TSGIGraphic::StaticClass},
    {"rgba", "", "SGI true color images with alpha", 8, TSGIGraphic::StaticClass},
    {"rgb", "", "SGI true color images", 8, TSGIGraphic::StaticClass},
    {"bw", "", "SGI black/white images", 8, TSGIGraphic::StaticClass},
    {"psd", "Photoshop images", "", 10, TPSDGraphic::StaticClass},
    {"pdd", "", "", 10, TPSDGraphic::StaticClass},
    {"ppm", "Portable map images", "Portable pixel map images", 8, TPPMGraphic::StaticClass},
    {"pgm", "", "Portable gray map images", 8, TPPMGraphic::StaticClass},
    {"pbm", "", "Portable bitmap images", 8, TPPMGraphic::StaticClass},
    {"cel", "Autodesk images", "", 8, TAutodeskGraphic::StaticClass},
    {"pic", "Autodesk images", "", 8, TAutodeskGraphic::StaticClass},
    {"pcd", "Kodak Photo-CD images", "", 8, TPCDGraphic::StaticClass},
    {"gif", "CompuServe images", "", 13, TGIFGraphic::StaticClass},
    {"cut", "Dr. Halo images", "", 8, TCUTGraphic::StaticClass},
    {"psp", "Paintshop Pro images", "", 24, TPSPGraphic::StaticClass},
    {"png", "Portable network graphic images", "", 8, TPNGGraphic::StaticClass},
};

}  // namespace

void InitializePictureFormats() {
  SetIconPngDecoder(DecodeIconPng);
  FileFormatList = std::make_unique<TFileFormatList>();
  for (const TStartupRow& row : kStartupRows)
    FileFormatList->RegisterFileFormat(row.Extension, row.CommonDescription, row.IndividualDescription,
                                       row.Kinds, false, row.GraphicClass());
}

void FinalizePictureFormats() {
  SetIconPngDecoder(nullptr);
  if (!FileFormatList) return;
  for (TGraphicClass graphicClass :
       {TPSPGraphic::StaticClass(), TPSDGraphic::StaticClass(), TTargaGraphic::StaticClass(),
        TTIFFGraphic::StaticClass(), TSGIGraphic::StaticClass(), TPCXGraphic::StaticClass(),
        TAutodeskGraphic::StaticClass(), TPCDGraphic::StaticClass(), TPPMGraphic::StaticClass(),
        TCUTGraphic::StaticClass(), TGIFGraphic::StaticClass(), TRLAGraphic::StaticClass()})
    FileFormatList->UnregisterFileFormat("", graphicClass);
  FileFormatList->UnregisterFileFormat("rle", TBitmap::StaticClass());
  FileFormatList->UnregisterFileFormat("dib", TBitmap::StaticClass());
  FileFormatList->UnregisterFileFormat("", TPNGGraphic::StaticClass());
  FileFormatList.reset();
}
