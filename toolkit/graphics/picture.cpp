#include "toolkit/graphics/picture.h"

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/core/string_utils.h"
#include "toolkit/graphics/bitmap.h"

namespace {

// The word that opens the filter's first entry, in the toolkit's language.
constexpr const char* kAllFilesWord = "Tous";

std::vector<TFileFormatEntry>& Registry() {
  static std::vector<TFileFormatEntry> entries;
  return entries;
}

// The text after the last dot of the file name (not of a folder), without the dot.
std::string ExtensionOf(const std::string& fileName) {
  const size_t slash = fileName.find_last_of('/');
  const size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return fileName.substr(dot + 1);
}

// The entries in registration order, without those hidden by a later entry of the same extension,
// limited to the classes derived from graphicClass and to the extensions keepExtension keeps.
std::vector<const TFileFormatEntry*> VisibleEntries(TGraphicClass graphicClass,
                                                    const TPicture::TExtensionTest& keepExtension = {}) {
  const auto& entries = Registry();
  std::vector<const TFileFormatEntry*> result;
  for (size_t i = 0; i < entries.size(); ++i) {
    bool hidden = false;
    for (size_t later = i + 1; later < entries.size() && !hidden; ++later)
      hidden = SameText(entries[later].Extension, entries[i].Extension);
    if (!hidden && entries[i].GraphicClass && entries[i].GraphicClass->InheritsFrom(graphicClass) &&
        (!keepExtension || keepExtension(entries[i].Extension)))
      result.push_back(&entries[i]);
  }
  return result;
}

}  // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  FGraphic = std::move(graphic);
}

TBitmap& TPicture::Bitmap() {
  if (!FGraphic || !FGraphic->ClassType()->InheritsFrom(TBitmap::StaticClass()))
    FGraphic = std::make_unique<TBitmap>();
  return static_cast<TBitmap&>(*FGraphic);
}

int TPicture::Width() const {
  return FGraphic ? FGraphic->Width() : 0;
}
int TPicture::Height() const {
  return FGraphic ? FGraphic->Height() : 0;
}

void TPicture::LoadFromFile(const std::string& fileName) {
  const std::string extension = ExtensionOf(fileName);
  const TGraphicClass graphicClass = FindGraphicClass(extension);
  if (!graphicClass || !graphicClass->Create) throw EInvalidGraphic(Format(SUnknownExtension, {extension}));
  FGraphic.reset();
  std::unique_ptr<TGraphic> graphic = graphicClass->Create();
  graphic->LoadFromFile(fileName);
  FGraphic = std::move(graphic);
}

void TPicture::SaveToFile(const std::string& fileName) {
  if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicClass graphicClass) {
  Registry().push_back(TFileFormatEntry{extension, description, graphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass) {
  std::erase_if(Registry(),
                [&](const TFileFormatEntry& entry) { return entry.GraphicClass == graphicClass; });
}

const std::vector<TFileFormatEntry>& TPicture::RegisteredFormats() {
  return Registry();
}

TGraphicClass TPicture::FindGraphicClass(const std::string& extension) {
  if (extension.empty()) return nullptr;
  const auto& entries = Registry();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (SameText(it->Extension, extension)) return it->GraphicClass;
  return nullptr;
}

std::string TPicture::GraphicFilter(TGraphicClass graphicClass, const TExtensionTest& keepExtension) {
  const auto entries = VisibleEntries(graphicClass, keepExtension);
  if (entries.empty()) return {};
  const std::string mask = GraphicFileMask(graphicClass, keepExtension);
  std::string filter = std::string(kAllFilesWord) + " (" + mask + ")|" + mask;
  for (const TFileFormatEntry* entry : entries) {
    const std::string one = "*." + entry->Extension;
    filter += "|" + entry->Description + (entry->Description.empty() ? "" : " ") + "(" + one + ")|" + one;
  }
  return filter;
}

std::string TPicture::GraphicExtension(TGraphicClass graphicClass) {
  const auto entries = VisibleEntries(graphicClass);
  return entries.empty() ? std::string() : entries.front()->Extension;
}

std::string TPicture::GraphicFileMask(TGraphicClass graphicClass, const TExtensionTest& keepExtension) {
  std::string mask;
  for (const TFileFormatEntry* entry : VisibleEntries(graphicClass, keepExtension)) {
    if (!mask.empty()) mask += ";";
    mask += "*." + entry->Extension;
  }
  return mask;
}
