#include "workbench/ulut.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "toolkit/core/conversions.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/text_reader.h"
#include "toolkit/graphics/canvas.h"

TLut* Lut = nullptr;

namespace {

constexpr int kStripWidth = 256;
constexpr int kStripHeight = 25;

// A bell around level c of width w, truncated toward zero (extended precision, single-precision width).
int Bell(int i, int c, float w) {
  const long double d = i - c;
  const long double width = w;
  return static_cast<int>(std::trunc(255.0L * std::exp(-(d * d) / (2.0L * width * width))));
}

// 255 less a broad bell around level c.
int Valley(int i, int c) {
  const long double d = i - c;
  return 255 - static_cast<int>(std::trunc(255.0L * std::exp(-(d * d) / 5000.0L)));
}

int Rainbow4(int i, int first, float w) {
  return Bell(i, first, w) + Bell(i, first + 85, w) + Bell(i, first + 170, w) + Bell(i, first + 255, w);
}

struct TLevel {
  int Red, Green, Blue;
};

TLevel BuiltInLevel(int table, int i) {
  switch (table) {
    case 0:
      return {i, i, i};
    case 1:
      return {255 - i, i, i};
    case 2:
      return {i, 255 - i, i};
    case 3:
      return {i, i, 255 - i};
    case 4:
      return {Bell(i, 113, 25), Valley(i, 128), Bell(i, 143, 25)};
    case 5:
      return {Bell(i, 0, 45) + Bell(i, 255, 45), Bell(i, 85, 45), Bell(i, 170, 45)};
    case 6:
      return {Bell(i, 255, 65), Bell(i, 128, 65), Bell(i, 0, 65)};
    case 7:
      return {Bell(i, 0, 65), Bell(i, 128, 65), Bell(i, 255, 65)};
    case 8:
      return {(i + 1) % 6 == 0 ? 255 : 0, (i + 3) % 6 == 0 ? 255 : 0, (i + 5) % 6 == 0 ? 255 : 0};
    case 9:
      return {Rainbow4(i, 0, 15), Bell(i, 28, 15) + Bell(i, 113, 15) + Bell(i, 198, 15),
              Bell(i, 56, 15) + Bell(i, 141, 15) + Bell(i, 226, 15)};
    case 10:
      return {Bell(i, 158, 25), Valley(i, 173), Bell(i, 188, 25)};
    case 11:
      return {Bell(i, 68, 25), Valley(i, 83), Bell(i, 98, 25)};
    case 12:
      return {Rainbow4(i, 0, 25), Valley(i, 83), Rainbow4(i, 42, 25)};
    default:  // 13
      return {Rainbow4(i, 0, 25), Valley(i, 173), Rainbow4(i, 42, 25)};
  }
}

uint8_t ClampLevel(int value) {
  return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

TImage* NewStrip(TLut* form, const char* name, int top) {
  auto* image = new TImage(form, form);
  image->SetName(name);
  image->SetBounds(48, top, kStripWidth, kStripHeight);
  TBitmap& bitmap = image->Bitmap();
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(kStripWidth, kStripHeight);
  return image;
}

TLabel* NewLabel(TLut* form, const char* name, const char* caption, int top) {
  auto* label = new TLabel(form, form);
  label->SetName(name);
  label->SetCaption(caption);
  label->SetBounds(8, top + 6, 36, 13);
  return label;
}

}  // namespace

TLut::TLut(TComponent* owner) : TForm(owner) {
  SetName("Lut");
  SetCaption("Look Up Tables");

  CheckBox1 = new TCheckBox(this, this);
  CheckBox1->SetName("CheckBox1");
  CheckBox1->SetCaption("LookUp Tables");
  CheckBox1->SetBounds(8, 8, std::max(150, CheckBox1->sizeHint().width()), 17);
  RLUT = new TRadioGroup(this, this);
  RLUT->SetName("RLUT");
  RLUT->SetColumns(3);
  for (const char* item : {"Normal", "Inverse R", "Inverse G", "Inverse B", "Short Rainbow", "Cicle Rainbow",
                           "Cold-Warm", "Warm-Cold", "Stripped", "Rainbow x3", "Short Rainbow 2",
                           "Short Rainbow 3", "Long Rainbow 1", "Long Rainbow 2", "Custom"})
    RLUT->Items().Add(item);
  RLUT->SetItemIndex(0);
  // The group is as large as its fifteen names need in the window's font; the strips go below it and
  // the buttons beside it.
  const QSize tables = RLUT->sizeHint().expandedTo(QSize(330, 150));
  RLUT->SetBounds(8, 30, tables.width(), tables.height());
  const int stripsTop = 30 + tables.height() + 10;
  Label1 = NewLabel(this, "Label1", "R:", stripsTop);
  ImageR = NewStrip(this, "ImageR", stripsTop);
  Label2 = NewLabel(this, "Label2", "G:", stripsTop + 32);
  ImageG = NewStrip(this, "ImageG", stripsTop + 32);
  Label3 = NewLabel(this, "Label3", "B:", stripsTop + 64);
  ImageB = NewStrip(this, "ImageB", stripsTop + 64);
  Label4 = NewLabel(this, "Label4", "Sum:", stripsTop + 96);
  ImageSum = NewStrip(this, "ImageSum", stripsTop + 96);
  const int buttonsLeft = 8 + tables.width() + 12;
  Button2 = new TButton(this, this);
  Button2->SetName("Button2");
  Button2->SetCaption("&OK");
  Button2->SetBounds(buttonsLeft, 38, 80, 25);
  Button1 = new TButton(this, this);
  Button1->SetName("Button1");
  Button1->SetCaption("&Cancel");
  Button1->SetBounds(buttonsLeft, 70, 80, 25);
  setFixedSize(buttonsLeft + 80 + 10, stripsTop + 96 + kStripHeight + 19);
  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->SetName("OpenDialog1");
  OpenDialog1->Filter = "LookUp Tables|*.LUT";
  OpenDialog1->DefaultExt = "LUT";
  OpenDialog1->Title = "Open LUT File";
  OpenDialog1->Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist | ofEnableSizing;

  OnCreate = Event(this, &TLut::FormCreate);
  OnActivate = Event(this, &TLut::FormActivate);
  CheckBox1->OnClick = Event(this, &TLut::CheckBox1Click);
  RLUT->OnClick = Event(this, &TLut::RLUTClick);
  Button1->OnClick = Event(this, &TLut::Button1Click);
  Button2->OnClick = Event(this, &TLut::BLutOkClick);
}

void TLut::FormCreate(TObject*) {
  for (int i = 0; i < 256; ++i) FRed[i] = FGreen[i] = FBlue[i] = static_cast<uint8_t>(255 - i);
}

void TLut::RebuildColor(int Level) {
  FColors[Level] = RGB(FRed[Level], FGreen[Level], FBlue[Level]);
}

void TLut::SetLut(int Index) {
  if (Index >= 0 && Index <= 13) {
    for (int i = 0; i < 256; ++i) {
      // No table's sum of bells exceeds 255.
      const TLevel level = BuiltInLevel(Index, i);
      FRed[i] = ClampLevel(level.Red);
      FGreen[i] = ClampLevel(level.Green);
      FBlue[i] = ClampLevel(level.Blue);
    }
  }
  for (int i = 0; i < 256; ++i) RebuildColor(i);
}

void TLut::LoadLutFile(const std::string& FileName) {
  std::unique_ptr<TTextReader> file;
  try {
    file = std::make_unique<TTextReader>(FileName);
  } catch (const EFOpenError&) {
    return;
  }
  for (int level = 0; level < 256; ++level) {
    // Red before the first blank, green before the next, blue the rest; a missing blank leaves an
    // empty number, which the conversion refuses.
    std::string rest = file->ReadLn();
    auto take = [&rest] {
      const size_t blank = rest.find(' ');
      std::string part = blank == std::string::npos ? std::string() : rest.substr(0, blank);
      if (blank != std::string::npos) rest.erase(0, blank + 1);
      return part;
    };
    const std::string red = take();
    const std::string green = take();
    const uint8_t r = ClampLevel(StrToInt(red));
    const uint8_t g = ClampLevel(StrToInt(green));
    const uint8_t b = ClampLevel(StrToInt(rest));
    FRed[level] = r;
    FGreen[level] = g;
    FBlue[level] = b;
    RebuildColor(level);
  }
}

void TLut::DrawLutPreview() {
  struct TStrip {
    TImage* Image;
    TColor (*Color)(const TLut&, int);
  };
  const TStrip strips[] = {
      {ImageR, [](const TLut& lut, int i) { return RGB(lut.FRed[i], 0, 0); }},
      {ImageG, [](const TLut& lut, int i) { return RGB(0, lut.FGreen[i], 0); }},
      {ImageB, [](const TLut& lut, int i) { return RGB(0, 0, lut.FBlue[i]); }},
      {ImageSum, [](const TLut& lut, int i) { return lut.FColors[i]; }},
  };
  for (const TStrip& strip : strips) {
    TCanvas& canvas = strip.Image->Bitmap().Canvas();
    for (int i = 0; i < 256; ++i) {
      canvas.Pen.Color = strip.Color(*this, i);
      canvas.MoveTo(i, 0);
      canvas.LineTo(i, kStripHeight);
    }
    strip.Image->Invalidate();
  }
}

void TLut::FormActivate(TObject* Sender) {
  if (CheckBox1->Checked()) {
    RLUT->SetEnabled(true);
    RLUT->SetItemIndex(0);
  } else {
    RLUT->SetEnabled(false);
  }
  RLUTClick(Sender);
}

void TLut::CheckBox1Click(TObject* Sender) {
  if (CheckBox1->Checked()) {
    RLUT->SetEnabled(true);
    RLUTClick(Sender);
  } else {
    RLUT->SetEnabled(false);
    SetLut(0);
    DrawLutPreview();
  }
}

void TLut::RLUTClick(TObject*) {
  if (!CheckBox1->Checked()) return;
  const int index = RLUT->ItemIndex();
  if (index == 14) {
    if (OpenDialog1->Execute()) {
      try {
        LoadLutFile(OpenDialog1->FileName);
      } catch (...) {
        // The levels read before the faulty line are shown before the error is.
        DrawLutPreview();
        throw;
      }
    }
  } else {
    SetLut(index);
  }
  DrawLutPreview();
}

void TLut::Button1Click(TObject*) {
  Close();
}

void TLut::BLutOkClick(TObject*) {}
