#pragma once
// TPicture holds one graphic of any registered class and keeps the process-wide registry of picture
// file extensions: loading by file name picks the class by extension, and the file dialogs' filters
// are built from it.

#include <functional>
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
  // The graphic as a bitmap; when it is none or not a TBitmap, it is replaced by a new empty TBitmap.
  TBitmap& Bitmap();
  int Width() const;  // 0 without a graphic
  int Height() const;

  // Creates the graphic registered for the file's extension (the text after the file name's last
  // dot, compared without regard to ASCII case; the latest registration wins) and loads the file with
  // it. An extension no entry holds raises EInvalidGraphic with SUnknownExtension and leaves the
  // picture as it was; a load failure leaves no graphic and passes the exception on.
  void LoadFromFile(const std::string& fileName);
  // Saves the graphic with its own SaveToFile (nothing without a graphic).
  void SaveToFile(const std::string& fileName);

  // The registry, empty until the picture-format library registers its extensions at start-up.
  // Registering adds an entry (the same extension may be registered again: the latest entry is found
  // first and hides the earlier ones); unregistering a class removes all of its entries (by identity:
  // derived classes keep theirs).
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 TGraphicClass graphicClass);
  static void UnregisterGraphicClass(TGraphicClass graphicClass);
  static const std::vector<TFileFormatEntry>& RegisteredFormats();
  // The class registered (latest) for an extension given without the dot; null when none is.
  static TGraphicClass FindGraphicClass(const std::string& extension);

  // "Tous (*.a;*.b)|*.a;*.b|Desc A (*.a)|*.a|..." for every class derived from graphicClass, in
  // registration order; an extension registered again appears once, with its latest entry; an empty
  // description gives just "(*.a)". Empty when no entry matches. With keepExtension, only the
  // extensions (without the dot) it keeps take part.
  using TExtensionTest = std::function<bool(const std::string& extension)>;
  static std::string GraphicFilter(TGraphicClass graphicClass, const TExtensionTest& keepExtension = {});
  // The first extension registered for the class (or a class derived from it), without the dot.
  static std::string GraphicExtension(TGraphicClass graphicClass);
  // "*.a;*.b" for the classes derived from graphicClass (and the extensions keepExtension keeps).
  static std::string GraphicFileMask(TGraphicClass graphicClass, const TExtensionTest& keepExtension = {});

 private:
  std::unique_ptr<TGraphic> FGraphic;
};
