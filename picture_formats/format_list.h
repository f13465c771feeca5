#pragma once
// The library's table of every file extension it can read, with a description and the picture class
// that reads it. Every registration is mirrored into the toolkit's picture registry, so loading by file
// name and the file dialogs' filters know the formats.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/graphics/graphic.h"

class TStrings;

// Format-kind flags stored with each extension.
using TFormatKinds = uint8_t;

struct TClassEntry {
  TGraphicClass PictureClass = nullptr;
  std::string CommonDescription;
  uint32_t ExtensionCount = 0;
};

struct TExtensionEntry {
  std::string Extension;  // without the dot, as registered
  std::string IndividualDescription;
  TFormatKinds FormatKinds = 0;
  TClassEntry* ClassEntry = nullptr;
};

class TFileFormatList {
 public:
  TFileFormatList() = default;
  ~TFileFormatList();
  TFileFormatList(const TFileFormatList&) = delete;
  TFileFormatList& operator=(const TFileFormatList&) = delete;

  // Unregisters every class from the toolkit's registry and frees every entry.
  void Clear();
  // Index into the extension list (case-insensitive), -1 when absent or empty.
  int32_t FindExtension(const std::string& extension) const;
  // Index into the class list of the very class (identity, not inheritance), -1 when absent.
  int32_t FindGraphicClass(TGraphicClass graphicClass) const;
  // Clears the list, then adds every registered extension in registration order, without dots.
  void GetExtensionList(TStrings& list) const;
  // Raises EInvalidGraphic when the extension is present and replace is not set.
  void RegisterFileFormat(const std::string& extension, const std::string& commonDescription,
                          const std::string& individualDescription, TFormatKinds formatKinds, bool replace,
                          TGraphicClass graphicClass);
  // Removes one extension, or the whole class when the extension is empty (EListError when the class
  // has no entry).
  void UnregisterFileFormat(const std::string& extension, TGraphicClass graphicClass);

  const std::vector<std::unique_ptr<TClassEntry>>& Classes() const { return FClassList; }
  const std::vector<std::unique_ptr<TExtensionEntry>>& Extensions() const { return FExtensionList; }

 private:
  void BindToClass(TExtensionEntry& entry, const std::string& commonDescription, TGraphicClass graphicClass);
  void RemoveClassEntry(const TClassEntry* classEntry);

  std::vector<std::unique_ptr<TClassEntry>> FClassList;          // in order of first registration
  std::vector<std::unique_ptr<TExtensionEntry>> FExtensionList;  // in registration order
};

// The one list of the run; exists between InitializePictureFormats and FinalizePictureFormats.
extern std::unique_ptr<TFileFormatList> FileFormatList;

// The library's start-up: creates FileFormatList and registers the 42 extensions.
void InitializePictureFormats();
// The library's shut-down: unregisters its classes in the fixed order and frees the list.
void FinalizePictureFormats();
