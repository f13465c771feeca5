#pragma once
// TPicture holds one graphic of any registered class and keeps the process-wide registry of picture
// file extensions: loading by file name picks the class by extension, and the file dialogs' filters
// are built from it.

#include <memory>
#include <string>
#include <vector>

#include "toolkit/graphics/graphic.h"

class TBitmap;

struct TFileFormatEntry {
  std::string Extension;  // without the dot, as registered
  std::string Description;
  TGraphicClass GraphicClass;
};

class TPicture {
 public:
  TPicture();
  ~TPicture();

  TGraphic* Graphic() const { return FGraphic.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  int Width() const;
  int Height() const;

  // Creates the graphic registered for the file's extension and loads the file with it. An extension
  // no entry holds raises EInvalidGraphic; a load failure leaves no graphic and passes the exception on.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

  // The registry. Registering adds an entry (the same extension may be registered again: the latest
  // entry is found first); unregistering a class removes all of its entries.
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 TGraphicClass graphicClass);
  static void UnregisterGraphicClass(TGraphicClass graphicClass);
  static const std::vector<TFileFormatEntry>& RegisteredFormats();

  // "All (*.a;*.b)|*.a;*.b|Desc A (*.a)|*.a|..." for every class derived from graphicClass, in
  // registration order.
  static std::string GraphicFilter(TGraphicClass graphicClass);
  // The first extension registered for the class (or a class derived from it), without the dot.
  static std::string GraphicExtension(TGraphicClass graphicClass);
  // "*.a;*.b" for the classes derived from graphicClass.
  static std::string GraphicFileMask(TGraphicClass graphicClass);

 private:
  std::unique_ptr<TGraphic> FGraphic;
};
