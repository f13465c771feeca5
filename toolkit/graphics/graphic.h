#pragma once
// The picture-class contract: every picture (bitmap, icon, metafile, JPEG, the format library's readers)
// is a TGraphic. A picture class is described by a TGraphicClassInfo whose address is its identity.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "toolkit/core/streams.h"
#include "toolkit/graphics/palette.h"
#include "toolkit/graphics/types.h"

class TCanvas;
class TGraphic;

struct TGraphicClassInfo {
  const char* ClassName;
  const TGraphicClassInfo* Parent;        // null for TGraphic itself
  std::unique_ptr<TGraphic> (*Create)();  // null for abstract classes

  // True for this class and every class derived from `other`.
  bool InheritsFrom(const TGraphicClassInfo* other) const;
};
using TGraphicClass = const TGraphicClassInfo*;

// Gives a TGraphic descendant its class descriptor. Use in the public part of the class body.
#define ORVANTA_GRAPHIC_CLASS(Type, ParentType)                                  \
 public:                                                                         \
  static TGraphicClass StaticClass() {                                           \
    static const TGraphicClassInfo info{                                         \
        #Type, ParentType::StaticClass(),                                        \
        []() -> std::unique_ptr<TGraphic> { return std::make_unique<Type>(); }}; \
    return &info;                                                                \
  }                                                                              \
  TGraphicClass ClassType() const override {                                     \
    return StaticClass();                                                        \
  }

enum class TProgressStage : uint8_t { psStarting, psRunning, psEnding };

using TProgressEvent = std::function<void(TGraphic& sender, TProgressStage stage, uint8_t percentDone,
                                          bool redrawNow, const TRect& rect, const std::string& message)>;
using TNotifyGraphicEvent = std::function<void(TGraphic& sender)>;

class TGraphic {
 public:
  static TGraphicClass StaticClass() {
    static const TGraphicClassInfo info{"TGraphic", nullptr, nullptr};
    return &info;
  }
  virtual TGraphicClass ClassType() const { return StaticClass(); }

  TGraphic() = default;
  virtual ~TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  // Copies the source picture. The default asks the source first (AssignTo) and otherwise raises
  // EConvertError with SAssignError ("cannot assign a <source class> to a <this class>").
  virtual void Assign(const TGraphic& source);
  // Lets a picture copy itself into a target of another class (a JPEG into a bitmap, say); returns
  // false when it cannot, so the target's Assign decides. The default cannot.
  virtual bool AssignTo(TGraphic& target) const;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;

  // Opens the file (read, deny write) and loads it with LoadFromStream.
  virtual void LoadFromFile(const std::string& fileName);
  // Writes the file with SaveToStream, replacing an existing one only once it is written wholly.
  virtual void SaveToFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;

  // Draws the picture into rect of the canvas (stretched when the sizes differ).
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

  virtual HPALETTE Palette() const { return nullptr; }
  virtual void SetPalette(HPALETTE) {}

  bool Modified() const { return FModified; }
  void SetModified(bool value) { FModified = value; }
  bool PaletteModified() const { return FPaletteModified; }
  void SetPaletteModified(bool value) { FPaletteModified = value; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value) { FTransparent = value; }
  // Whether the last load ran out of the file's data before the picture was whole: the picture holds
  // what was decoded and filler for the rest, which a caller that needs the whole picture (every run
  // does) must not take for it.
  bool DataEndedEarly() const { return FDataEndedEarly; }

  TNotifyGraphicEvent OnChange;
  TProgressEvent OnProgress;

  // Sets Modified and calls OnChange.
  virtual void Changed();
  // Calls OnProgress when set.
  virtual void Progress(TProgressStage stage, uint8_t percentDone, bool redrawNow, const TRect& rect,
                        const std::string& message);

 protected:
  void SetDataEndedEarly(bool value) { FDataEndedEarly = value; }

 private:
  bool FModified = false;
  bool FPaletteModified = false;
  bool FTransparent = false;
  bool FDataEndedEarly = false;
};
