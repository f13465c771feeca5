// The image view: layout in fit and zoom modes with the worked sizes, the stretch switches, the zoom
// controls, the panels' minimum width, and showing the result without a copy.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include "tests/workbench/main_window_fixture.h"

namespace {

class ImageViewTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // The scroll box at the size of the worked examples.
    Form->ScrollBox1->SetAlign(TAlign::alNone);
    Form->ScrollBox1->SetBounds(0, 0, 406, 286);
  }
  void Show(int width, int height) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(width, height);
    Form->ShowBitmap(&bitmap);
  }
  TRect ViewBounds() const {
    const tFlyImage& view = *Form->Image1;
    return Rect(view.Left(), view.Top(), view.Left() + view.Width(), view.Top() + view.Height());
  }
};

TEST_F(ImageViewTest, FitModeScalesToTheScrollBoxKeepingProportions) {
  Show(800, 600);
  Form->LayoutView();
  EXPECT_NEAR(Form->FZoom, 280.0 / 600.0, 1e-12);
  EXPECT_EQ(ViewBounds(), Rect(16, 2, 16 + 373, 2 + 280));
  EXPECT_FALSE(Form->ScrollBox1->AutoScroll());
  Show(100, 50);  // a picture of another size is laid out as it is shown; small pictures are enlarged
  EXPECT_EQ(Form->FZoom, 4.0);
  EXPECT_EQ(ViewBounds(), Rect(2, 42, 402, 242));
  Show(0, 0);  // no pixels: a scale of 1
  Form->LayoutView();
  EXPECT_EQ(Form->FZoom, 1.0);
  // A resize of the window lays out again.
  Show(800, 600);
  Form->ScrollBox1->SetBounds(0, 0, 206, 286);
  Form->FormResize(Form.get());
  EXPECT_EQ(Form->FZoom, 0.25);
  EXPECT_EQ(ViewBounds(), Rect(2, 67, 202, 217));
}

TEST_F(ImageViewTest, ZoomModeFollowsTheTrackBar) {
  Show(1000, 500);
  Form->ToolButton7->Click();  // stretch button up: the track bar's scale, scrolled
  EXPECT_TRUE(Form->TrackBar1->Visible());
  EXPECT_TRUE(Form->ScrollBox1->AutoScroll());
  EXPECT_EQ(ViewBounds(), Rect(0, 0, 500, 250));
  Form->TrackBar1->SetPosition(25);
  EXPECT_EQ(Form->Label100->Caption(), " Z = 25% ");
  EXPECT_EQ(ViewBounds(), Rect(0, 0, 250, 125));
  Form->Label100Click(Form.get());  // back to 100%
  EXPECT_EQ(Form->TrackBar1->Position(), 100);
  EXPECT_EQ(ViewBounds(), Rect(0, 0, 1000, 500));
  // Back to fit: the zoom controls go away.
  Form->ToolButton7->Click();
  EXPECT_FALSE(Form->TrackBar1->Visible());
  EXPECT_FALSE(Form->ScrollBox1->AutoScroll());
  EXPECT_EQ(Form->Image1->Width(), 400);

  // The menu item moves the stretch button; the track bar's enabled state is taken from the former
  // stretch state, and the bar stays hidden.
  Form->Adapterlimage1->Click();
  EXPECT_FALSE(Form->ToolButton7->Down());
  EXPECT_FALSE(Form->TrackBar1->Enabled());
  EXPECT_FALSE(Form->TrackBar1->Visible());
  EXPECT_EQ(ViewBounds(), Rect(0, 0, 1000, 500));  // at the track bar's 100%
}

// Files added and run at once: the view was laid out for the empty list's 1 x 1 picture, yet the result
// shows in its own proportions, and keeps them when a list splitter narrows the view.
TEST_F(MainWindowTest, TheViewIsLaidOutForTheResultsSizeAndTheScrollBoxsSize) {
  Form->Show();
  Script().AnswerOpenFile({WritePicture("a.bmp", 1, 60, 40), WritePicture("b.bmp", 2, 60, 40)});
  Form->NewList1->Click();
  ExpectEndOfRun(0);
  Form->GetMAX1->Click();
  const tFlyImage& view = *Form->Image1;
  EXPECT_NEAR(double(view.Width()) / view.Height(), 1.5, 0.02);
  EXPECT_LE(view.Width(), Form->ScrollBox1->Width() - 4);
  Form->Splitter2->DragBy(100);
  EXPECT_NEAR(double(view.Width()) / view.Height(), 1.5, 0.02);
  EXPECT_EQ(view.Width(), Form->ScrollBox1->Width() - 6);
  // No list panel gets narrower than 175 pixels.
  Form->Splitter1->DragBy(-150);
  EXPECT_EQ(Form->Panel1->Width(), 175);
}

// Counts the paints of a widget.
class TPaintCounter : public QObject {
 public:
  int Paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    Paints += event->type() == QEvent::Paint;
    return false;
  }
};

// A run shows its result after every picture: the screen follows a few times a second, the last state
// always.
TEST_F(MainWindowTest, TheResultOfARunIsRepaintedAtABoundedRate) {
  Form->Show();
  NewBitmap(Form->FResult);
  Form->ShowBitmap(Form->FResult.get());
  QApplication::processEvents();
  TPaintCounter counter;
  Form->Image1->installEventFilter(&counter);
  QElapsedTimer clock;
  clock.start();
  for (int shown = 0; shown < 20; ++shown) {
    Form->ShowBitmap(Form->FResult.get());
    QApplication::processEvents();
  }
  EXPECT_LE(counter.Paints, 1 + int(clock.elapsed() / 200));
  const int beforeTheLast = counter.Paints;
  while (clock.elapsed() < 700) QApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(counter.Paints, beforeTheLast + 1);
  Form->Image1->removeEventFilter(&counter);
}

TEST_F(ImageViewTest, TheResultIsPaintedWhereItLives) {
  Form->Show();
  TBitmap& result = *Form->FResult;
  result.SetSize(40, 20);
  FillBitmap(result, 0x0000FF);  // red
  Form->ShowBitmap(&result);
  EXPECT_TRUE(Form->Image1->ShowsShared());
  EXPECT_EQ(Form->Image1->ShownBitmap(), &result);
  Form->LayoutView();
  ASSERT_EQ(Form->Image1->Width(), 400);
  EXPECT_EQ(Form->Image1->Widget()->grab().toImage().pixel(390, 190), qRgb(255, 0, 0));
  // Merged in place, then shown again: the next paint has the new pixels.
  uint8_t* row = result.ScanLine(19);  // the picture's bottom row
  for (int x = 0; x < 40 * 3; x += 3) row[x] = 255, row[x + 2] = 0;
  Form->ShowBitmap(&result);
  const QImage painted = Form->Image1->Widget()->grab().toImage();
  EXPECT_EQ(painted.pixel(200, 195), qRgb(0, 0, 255));
  EXPECT_EQ(painted.pixel(200, 100), qRgb(255, 0, 0));

  // A result that is replaced is never drawn from its old address.
  NewBitmap(Form->FResult);
  EXPECT_EQ(Form->Image1->ShownBitmap(), Form->FResult.get());
  Form->FResult.reset();
  EXPECT_EQ(Form->Image1->ShownBitmap(), nullptr);
  EXPECT_TRUE(Form->Image1->RenderArea(QRect(0, 0, 4, 2)).isNull());
  NewBitmap(Form->FResult);

  // Previewing an entry shows a copy of its own and leaves the result alone.
  Fill(*Form->ListBox1, {WritePicture("p.bmp", 1, 5, 5)});
  Form->PreviewEntry(0, Form->ListBox1);
  EXPECT_FALSE(Form->Image1->ShowsShared());
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 5);
  EXPECT_EQ(Form->FResult->Width(), 1);
}

}  // namespace
