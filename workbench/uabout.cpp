#include "workbench/uabout.h"

#include <cmath>
#include <memory>
#include <vector>

#include <QFont>

#include "toolkit/core/string_list.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/ui/system_services.h"
#include "workbench/about_text.h"

TFormAbout* FormAbout = nullptr;

namespace {

// The logo: star trails turning round the pole over a dark blue sky.
std::unique_ptr<TBitmap> NewLogo() {
  constexpr int kSize = 105;
  auto logo = std::make_unique<TBitmap>();
  logo->SetPixelFormat(pf24bit);
  logo->SetSize(kSize, kSize);
  TCanvas& canvas = logo->Canvas();
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) canvas.SetPixel(x, y, RGB(0, static_cast<uint8_t>(y / 8), 40 + y / 2));
  constexpr double kPoleX = 30, kPoleY = 28;
  for (int star = 0; star < 40; ++star) {
    const double radius = 4 + star * 2.3;
    const double start = star * 2.39996;  // the golden angle spreads the trails evenly
    const uint8_t light = static_cast<uint8_t>(140 + (star * 53) % 116);
    const TColor color = RGB(light, light, static_cast<uint8_t>(std::min(255, light + 40)));
    for (double angle = start; angle < start + 1.1; angle += 0.5 / radius) {
      const int x = static_cast<int>(std::lround(kPoleX + radius * std::cos(angle)));
      const int y = static_cast<int>(std::lround(kPoleY + radius * std::sin(angle)));
      canvas.SetPixel(x, y, color);
    }
  }
  return logo;
}

}  // namespace

TFormAbout::TFormAbout(TComponent* owner) : TForm(owner) {
  SetName("FormAbout");
  SetCaption("About..");
  setFixedSize(680, 430);
  SetColor(RGB(215, 228, 242));

  Image1 = new TImage(this, this);
  Image1->SetName("Image1");
  Image1->SetBounds(8, 8, 105, 105);
  Image1->SetStretch(true);
  Image1->Picture().SetGraphic(NewLogo());
  Label1 = new TLabel(this, this);
  Label1->SetName("Label1");
  QFont title("Arial");
  title.setPixelSize(40);
  title.setBold(true);
  title.setUnderline(true);
  Label1->setFont(title);
  Label1->SetCaption(" ORVANTA ");
  Label1->SetBounds(130, 36, 300, 48);
  Label1->resize(Label1->sizeHint());
  Memo1 = new TMemo(this, this);
  Memo1->SetName("Memo1");
  Memo1->SetReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->SetBounds(8, 122, 664, 264);
  std::string text;
  for (const char* line : AboutText()) text.append(line).append("\n");
  Memo1->SetText(text);
  SpeedButton2 = new TSpeedButton(this, this);
  SpeedButton2->SetName("SpeedButton2");
  SpeedButton2->SetCaption("Print...");
  SpeedButton2->SetBounds(8, 396, 90, 25);
  SpeedButton1 = new TSpeedButton(this, this);
  SpeedButton1->SetName("SpeedButton1");
  SpeedButton1->SetCaption("Close");
  SpeedButton1->SetBounds(582, 396, 90, 25);

  SpeedButton1->OnClick = Event(this, &TFormAbout::SpeedButton1Click);
  SpeedButton2->OnClick = Event(this, &TFormAbout::SpeedButton2Click);
}

void TFormAbout::SpeedButton1Click(TObject*) {
  Close();
}

void TFormAbout::SpeedButton2Click(TObject*) {
  std::vector<std::string> lines;
  for (int i = 0; i < Memo1->Lines().Count(); ++i) lines.push_back(Memo1->Lines()[i]);
  PrintTextLines(lines);
}
