// The image view: layout in fit and zoom modes with the worked sizes, the stretch switches, the zoom
// controls, the fly-over mirrors, the panels' minimum width, and showing the result without a copy.
#include <QImage>

#include "tests/workbench/picture_list_fixture.h"
#include "workbench/working_bitmap.h"

namespace {

class ImageViewTest : public PictureListTest {
 protected:
  void SetUp() override {
    PictureListTest::SetUp();
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

  // Small pictures are enlarged.
  Show(100, 50);
  Form->LayoutView();
  EXPECT_EQ(Form->FZoom, 4.0);
  EXPECT_EQ(ViewBounds(), Rect(2, 42, 402, 242));

  // A picture without pixels gives a scale of 1.
  Show(0, 0);
  Form->LayoutView();
  EXPECT_EQ(Form->FZoom, 1.0);
  EXPECT_EQ(Form->Image1->Width(), 0);

  // A resize of the window lays out again.
  Show(800, 600);
  Form->ScrollBox1->SetBounds(0, 0, 206, 286);
  Form->FormResize(Form.get());
  EXPECT_EQ(Form->FZoom, 0.25);
  EXPECT_EQ(ViewBounds(), Rect(2, 67, 202, 217));
}

TEST_F(ImageViewTest, ZoomModeFollowsTheTrackBar) {
  Show(1000, 500);
  Form->ToolButton7->Click();  // stretch button up
  EXPECT_FALSE(Form->ToolButton7->Down());
  EXPECT_FALSE(Form->Adapterlimage1->Checked());
  EXPECT_TRUE(Form->TrackBar1->Visible());
  EXPECT_TRUE(Form->TrackBar1->Enabled());
  EXPECT_TRUE(Form->Label100->Visible());
  EXPECT_TRUE(Form->Label100->Enabled());
  EXPECT_TRUE(Form->Image1->Stretch());
  EXPECT_TRUE(Form->ScrollBox1->AutoScroll());
  EXPECT_EQ(Form->FZoom, 0.5);
  EXPECT_EQ(ViewBounds(), Rect(0, 0, 500, 250));

  Form->TrackBar1->SetPosition(25);
  EXPECT_EQ(Form->Label100->Caption(), " Z = 25% ");
  EXPECT_EQ(ViewBounds(), Rect(0, 0, 250, 125));
  Form->TrackBar1->SetPosition(75);
  EXPECT_EQ(Form->Label100->Caption(), " Z = 75% ");

  Form->Label100Click(Form.get());
  EXPECT_EQ(Form->TrackBar1->Position(), 100);
  EXPECT_EQ(Form->Label100->Caption(), " Z = 100% ");
  EXPECT_EQ(Form->FZoom, 1.0);
  EXPECT_EQ(ViewBounds(), Rect(0, 0, 1000, 500));

  // Back to fit: the zoom controls go away.
  Form->ToolButton7->Click();
  EXPECT_TRUE(Form->Adapterlimage1->Checked());
  EXPECT_FALSE(Form->TrackBar1->Visible());
  EXPECT_FALSE(Form->Label100->Enabled());
  EXPECT_FALSE(Form->ScrollBox1->AutoScroll());
  EXPECT_EQ(Form->Image1->Width(), 400);
}

TEST_F(ImageViewTest, TheMenuSwitchMovesTheStretchButton) {
  Show(1000, 500);
  Form->Options1Click(Form.get());  // the menu opens: its mark follows the view
  ASSERT_TRUE(Form->Adapterlimage1->Checked());
  Form->Adapterlimage1->Click();  // the item unchecks itself
  EXPECT_FALSE(Form->ToolButton7->Down());
  EXPECT_TRUE(Form->ScrollBox1->AutoScroll());
  // The track bar's enabled state is taken from the former stretch state; the bar and the label stay
  // hidden.
  EXPECT_FALSE(Form->TrackBar1->Enabled());
  EXPECT_FALSE(Form->TrackBar1->Visible());
  EXPECT_FALSE(Form->Label100->Visible());
  EXPECT_EQ(ViewBounds(), Rect(0, 0, 500, 250));

  Form->Adapterlimage1->Click();
  EXPECT_TRUE(Form->ToolButton7->Down());
  EXPECT_TRUE(Form->TrackBar1->Enabled());
  EXPECT_FALSE(Form->ScrollBox1->AutoScroll());
  EXPECT_EQ(Form->Image1->Width(), 400);
}

TEST_F(ImageViewTest, FlyOverSwitchesMirrorEachOther) {
  Form->EnableFlyOverMouse1->Click();
  EXPECT_TRUE(Form->EnableFlyOverMouse1->Checked());
  EXPECT_TRUE(Form->EnableFlyOverMouse2->Down());
  Form->EnableFlyOverMouse2->Click();
  EXPECT_FALSE(Form->EnableFlyOverMouse2->Down());
  EXPECT_FALSE(Form->EnableFlyOverMouse1->Checked());
  Form->EnableFlyOverMouse2->Click();
  EXPECT_TRUE(Form->EnableFlyOverMouse1->Checked());
}

TEST_F(ImageViewTest, ListPanelsStayAtLeast175Wide) {
  int width = 100, height = 300;
  bool resize = false;
  Form->Panel1CanResize(Form.get(), width, height, resize);
  EXPECT_EQ(width, 175);
  EXPECT_TRUE(resize);
  width = 240;
  resize = false;
  Form->Panel2CanResize(Form.get(), width, height, resize);
  EXPECT_EQ(width, 240);
  EXPECT_TRUE(resize);
  EXPECT_EQ(height, 300);

  // Dragging the splitter far to the left.
  Form->Realign();
  Form->Splitter1->DragBy(-150);
  EXPECT_EQ(Form->Panel1->Width(), 175);
}

TEST_F(ImageViewTest, TheResultIsShownWhereItLivesAndOtherBitmapsAreCopied) {
  TBitmap& result = *Form->FResult;
  result.SetSize(2, 1);
  uint8_t* row = result.ScanLine(0);
  row[0] = 0, row[1] = 0, row[2] = 255;  // red
  row[3] = 255, row[4] = 0, row[5] = 0;  // blue
  Form->ShowBitmap(&result);
  EXPECT_TRUE(Form->Image1->ShowsShared());
  EXPECT_EQ(Form->Image1->ShownBitmap(), &result);
  Form->Image1->SetBounds(0, 0, 4, 2);
  QImage shown = Form->Image1->RenderArea(QRect(0, 0, 4, 2));
  ASSERT_EQ(shown.size(), QSize(4, 2));
  EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(3, 1), qRgb(0, 0, 255));

  // A run changes the result in place and shows it again: the view sees the new pixels.
  row[2] = 0, row[1] = 255;
  Form->ShowBitmap(&result);
  EXPECT_EQ(Form->Image1->RenderArea(QRect(0, 0, 4, 2)).pixel(0, 0), qRgb(0, 255, 0));
  // Only the asked area is sampled.
  EXPECT_EQ(Form->Image1->RenderArea(QRect(2, 1, 2, 1)).size(), QSize(2, 1));

  // A result that is replaced is never drawn from its old address.
  NewBitmap(Form->FResult);
  EXPECT_EQ(Form->Image1->ShownBitmap(), Form->FResult.get());
  Form->FResult.reset();
  EXPECT_EQ(Form->Image1->ShownBitmap(), nullptr);
  EXPECT_TRUE(Form->Image1->RenderArea(QRect(0, 0, 4, 2)).isNull());
  Form->LayoutView();
  EXPECT_EQ(Form->FZoom, 1.0);
  NewBitmap(Form->FResult);

  // Any other bitmap is copied in its pixel format; none gives the empty picture.
  TBitmap other;
  other.SetPixelFormat(pf8bit);
  other.SetSize(3, 2);
  Form->ShowBitmap(&other);
  EXPECT_FALSE(Form->Image1->ShowsShared());
  ASSERT_NE(Form->Image1->ShownBitmap(), &other);
  EXPECT_EQ(Form->Image1->ShownBitmap()->PixelFormat(), pf8bit);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 3);
  Form->ShowBitmap(nullptr);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 1);
  EXPECT_EQ(Form->Image1->ShownBitmap()->PixelFormat(), pf24bit);

  // Previewing an entry leaves the result alone.
  Form->ShowBitmap(Form->FResult.get());
  const std::string picture = WritePicture("p.bmp", 5, 5);
  Fill(*Form->ListBox1, {picture});
  Form->PreviewEntry(0, Form->ListBox1);
  EXPECT_FALSE(Form->Image1->ShowsShared());
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 5);
  EXPECT_EQ(Form->FResult->Width(), 1);
}

TEST_F(ImageViewTest, ThePaintDrawsTheSharedResultAndItsChanges) {
  Form->Show();
  TBitmap& result = *Form->FResult;
  result.SetSize(40, 20);
  FillBitmap(result, 0x0000FF);  // red
  Form->ShowBitmap(&result);
  Form->LayoutView();
  ASSERT_EQ(Form->Image1->Width(), 400);
  QImage painted = Form->Image1->Widget()->grab().toImage();
  EXPECT_EQ(painted.pixel(10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(painted.pixel(390, 190), qRgb(255, 0, 0));

  // Merged in place, then shown again: the next paint has the new pixels.
  uint8_t* row = result.ScanLine(19);  // the picture's bottom row
  for (int x = 0; x < 40 * 3; x += 3) row[x] = 255, row[x + 2] = 0;
  Form->ShowBitmap(&result);
  painted = Form->Image1->Widget()->grab().toImage();
  EXPECT_EQ(painted.pixel(200, 195), qRgb(0, 0, 255));
  EXPECT_EQ(painted.pixel(200, 100), qRgb(255, 0, 0));
}

TEST_F(ImageViewTest, ShowingABitmapDoesNotLayOut) {
  Show(800, 600);
  Form->LayoutView();
  const TRect before = ViewBounds();
  Show(100, 50);
  EXPECT_EQ(ViewBounds(), before);
}

}  // namespace
