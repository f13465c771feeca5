// List runs through the real main window: stacking, skipped and failing entries, pause, the threshold
// prompt, the single-entry run and the result commands.
#include <QObject>
#include <functional>

#include "tests/workbench/main_window_fixture.h"
#include "workbench/ulngstrings.h"

namespace {

class ListRunTest : public MainWindowTest {
 protected:
  void AddEntries(const Strings& paths) { Fill(*Form->ListBox1, paths); }
  Strings RightList() const { return Paths(*Form->ListBox2); }
};

TEST_F(ListRunTest, ThreePicturesStackToTheirPerChannelMaximum) {
  const Strings paths = {WritePicture("a.bmp", 1), WritePicture("b.bmp", 2), WritePicture("c.jpg", 3)};
  AddEntries(paths);
  // The save offer is taken under a name that is not written as it is: the right list gets the .bmp.
  Script().AnswerSaveFile(Temp.File("trail.png"));
  ExpectEndOfRun(0, false);
  Form->GetMAX1->Click();
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf(paths)));
  EXPECT_EQ(Form->FResultCount, 3);
  EXPECT_FALSE(Form->FDirty);
  EXPECT_EQ(RightList(), Files({"trail.bmp"}));
  EXPECT_TRUE(SamePixels(*Loaded(Temp.File("trail.bmp")), *Form->FResult));
  const TAskedQuestion& report = Script().Asked().back();
  EXPECT_EQ(report.Caption, "Process Pictures");
  EXPECT_EQ(report.Flags, MB_OK);
  // After the last of three pictures the counter shows all three merged, in the normal style.
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text(), "3/3");
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), paths[2]);
  EXPECT_FALSE(Form->StatusBar1->Font.Italic);
}

// While a run goes on the counter shows the pictures merged so far, and all of them at its end, never
// in the error style; a run of one picture ends on 1/1.
TEST_F(ListRunTest, TheStatusCounterShowsThePicturesMergedSoFar) {
  const Strings paths = {WritePicture("a.bmp", 1), WritePicture("b.jpg", 2), WritePicture("c.bmp", 3)};
  AddEntries(paths);
  Strings seen;
  std::function<void()> look = [&] {
    TStatusBar& bar = *Form->StatusBar1;
    const std::string now =
        bar.Panels(0).Text() + " " + bar.Panels(2).Text() + (bar.Font.Italic ? " red" : "");
    if (seen.empty() || seen.back() != now) seen.push_back(now);
    QMetaObject::invokeMethod(Form.get(), look, Qt::QueuedConnection);
  };
  QMetaObject::invokeMethod(Form.get(), look, Qt::QueuedConnection);
  ExpectEndOfRun(0);
  Form->GetMAX1Click(nullptr);
  EXPECT_EQ(seen, (Strings{" Empty List red", "2/3 " + paths[1], "3/3 " + paths[2]}));

  Form->ListBox1->Clear();
  AddEntries({paths[0]});
  ExpectEndOfRun(0);
  Form->GetMAX1Click(nullptr);
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text() + " " + Form->StatusBar1->Panels(2).Text(), "1/1 " + paths[0]);
  EXPECT_FALSE(Form->StatusBar1->Font.Italic);
}

TEST_F(ListRunTest, UncheckedAndDisabledEntriesAreSkippedAndTheResultShownAndCleared) {
  const Strings paths = {WritePicture("a.bmp", 1), WritePicture("b.bmp", 2), WritePicture("c.bmp", 3),
                         WritePicture("d.bmp", 4)};
  AddEntries(paths);
  SetMarks(*Form->ListBox1, "UCDC");
  ExpectEndOfRun(0);
  Form->GetMAX1Click(nullptr);
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf({paths[1], paths[3]})));
  EXPECT_EQ(Form->FResultCount, 2);
  EXPECT_TRUE(Form->FDirty);
  EXPECT_EQ(Marks(*Form->ListBox1), "UCDC");  // skipped, not marked

  Form->ToolButton1->Click();  // "Show Result..."
  EXPECT_EQ(Form->Image1->ShownBitmap(), Form->FResult.get());
  Form->ClearResult1->Click();
  EXPECT_EQ(Form->FResult->Width(), 1);
  EXPECT_EQ(Form->FResultCount, 0);
  EXPECT_FALSE(Form->FResultMerged);
  EXPECT_FALSE(Form->FDirty);  // nothing is left to save: closing asks nothing
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), kstproc);
}

TEST_F(ListRunTest, FailingPicturesAreCountedAndMarkedAndTheResultKept) {
  const std::string damaged = Temp.File("damaged.jpg");
  WriteWholeFile(damaged, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'});
  const Strings paths = {
      Temp.File("missing-first.bmp"),   WritePicture("a.bmp", 1), Temp.File("missing.bmp"), damaged,
      WritePicture("big.bmp", 9, 6, 3), WritePicture("b.bmp", 2), WritePicture("c.bmp", 3)};
  AddEntries(paths);
  ExpectEndOfRun(4, true, LoadError(paths[0], "No such file or directory"));
  Form->GetMAX1Click(nullptr);
  // The later pictures still merge: the result is the maximum of every good one.
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf({paths[1], paths[5], paths[6]})));
  EXPECT_EQ(Form->FResultCount, 3);
  EXPECT_EQ(Marks(*Form->ListBox1), "DCDDDCC");

  // Nothing loads: the result of the run before stays, and no save is offered for it.
  Form->ListBox1->Clear();
  AddEntries({Temp.File("notes.txt"), Temp.File("gone.bmp")});
  ExpectEndOfRun(2, false, LoadError(Temp.File("notes.txt"), "no picture type is read from \".txt\" files"));
  Form->GetMAX1Click(nullptr);
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf({paths[1], paths[5], paths[6]})));
  EXPECT_EQ(Form->FResultCount, 3);
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(),
            LoadError(Temp.File("gone.bmp"), "No such file or directory"));
}

// Frames whose data libjpeg finds garbled are counted and left out, even one found so only after its first
// rows were merged band by band: the result is the maximum of the good frames alone.
TEST_F(ListRunTest, CorruptJpegFramesAreCountedAndLeftOut) {
  Strings paths;
  for (const char* sample : {"baseline.jpg", "damaged/resync-restart.jpg", "progressive.jpg",
                             "damaged/flipped-baseline.jpg", "restart.jpg"}) {
    paths.push_back(Temp.File(std::to_string(paths.size()) + ".jpg"));
    WriteWholeFile(paths.back(), ReadWholeFile(TestData(std::string("jpeg/") + sample)));
  }
  AddEntries(paths);
  ExpectEndOfRun(2, true, LoadError(paths[1], "the picture's data are cut short or damaged"));
  Form->GetMAX1Click(nullptr);
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf({paths[0], paths[2], paths[4]})));
  EXPECT_EQ(Form->FResultCount, 3);
  EXPECT_EQ(Marks(*Form->ListBox1), "CDCDC");
}

TEST_F(ListRunTest, AnEmptyFirstPictureFailsAndTheNextGoodOneStartsTheResult) {
  // A Targa header of 0 x 0 pixels: the reader refuses it, and says so.
  const std::string empty = Temp.File("empty.tga");
  WriteWholeFile(empty, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 24, 0});
  const Strings paths = {empty, WritePicture("a.bmp", 1), WritePicture("b.bmp", 2)};
  AddEntries(paths);
  ExpectEndOfRun(1, true, LoadError(empty, "Cannot load image. Invalid or unexpected Targa image format."));
  Form->GetMAX1Click(nullptr);
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf({paths[1], paths[2]})));
  EXPECT_EQ(Form->FResultCount, 2);
  EXPECT_EQ(Marks(*Form->ListBox1), "DCC");
}

TEST_F(ListRunTest, ACutJpegIsCountedAndSkippedAndThePictureTestMarksIt) {
  const Strings paths = {WritePicture("a.jpg", 1, 64, 48), WritePicture("cut.jpg", 2, 64, 48),
                         WritePicture("c.jpg", 3, 64, 48)};
  std::vector<uint8_t> bytes = ReadWholeFile(paths[1]);
  bytes.resize(bytes.size() / 2);
  WriteWholeFile(paths[1], bytes);
  AddEntries(paths);
  ExpectEndOfRun(1, true, LoadError(paths[1], "the picture's data are cut short or damaged"));
  Form->GetMAX1Click(nullptr);
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf({paths[0], paths[2]})));
  EXPECT_EQ(Marks(*Form->ListBox1), "CDC");

  SetMarks(*Form->ListBox1, "CCC");
  Form->ToolBar1Click(Form.get());
  Script().AnswerMessageBox(
      IDOK, "1 Files in Error\nFirst: " + LoadError(paths[1], "the picture's data are cut short or damaged"));
  Form->Testvalidpictures1Click(nullptr);
  EXPECT_EQ(Marks(*Form->ListBox1), "CDC");
}

// A cut JPEG is decoded straight into the result before it is found cut: when nothing else loads, the
// result must still be the one before the run (here the empty one), on both roads, with no save offer.
TEST_F(ListRunTest, APictureThatFailsLeavesNothingOfItselfInTheResult) {
  const std::string cut = WritePicture("cut.jpg", 2, 64, 48);
  std::vector<uint8_t> bytes = ReadWholeFile(cut);
  bytes.resize(bytes.size() / 2);
  WriteWholeFile(cut, bytes);
  AddEntries({cut, Temp.File("gone.bmp")});
  const std::string cutError = LoadError(cut, "the picture's data are cut short or damaged");
  ExpectEndOfRun(2, false, cutError);
  Form->GetMAX1Click(nullptr);
  TBitmap empty;
  ResetBitmap(&empty);
  EXPECT_TRUE(SamePixels(*Form->FResult, empty));
  EXPECT_FALSE(Form->FDirty);
  EXPECT_EQ(Marks(*Form->ListBox1), "DD");

  // The single-entry road: the same cut picture leaves the empty result, reported and marked.
  Form->ListBox1->SetItemEnabled(0, true);
  Form->ListBox1->SetItemIndex(0);
  Script().AnswerMessageBox(IDOK, Report(1, cutError));
  Form->RunOnCurrentEntry(StackMax, 0);
  EXPECT_TRUE(SamePixels(*Form->FResult, empty));
  EXPECT_FALSE(Form->ListBox1->ItemEnabled(0));
}

// djpeg only warns about a file that lacks its end marker and nothing else: its picture is whole and
// merges, as the first picture (decoded into the result) and as a later one.
TEST_F(ListRunTest, AJpegLackingOnlyItsEndMarkerIsMerged) {
  const Strings whole = {WritePicture("a.jpg", 1, 64, 48), WritePicture("b.jpg", 2, 64, 48),
                         WritePicture("c.jpg", 3, 64, 48)};
  const auto expected = MaximumOf(whole);
  for (const std::string& path : {whole[0], whole[1]}) {
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    ASSERT_EQ(bytes[bytes.size() - 1], 0xD9);
    bytes.resize(bytes.size() - 2);
    WriteWholeFile(path, bytes);
  }
  AddEntries(whole);
  ExpectEndOfRun(0);
  Form->GetMAX1Click(nullptr);
  EXPECT_TRUE(SamePixels(*Form->FResult, *expected));
  EXPECT_EQ(Marks(*Form->ListBox1), "CCC");
  EXPECT_EQ(Form->FResultCount, 3);
}

// An operation that stacks the maximum and, while merging a given picture, queues a press of the pause
// button, as a user would click during the merge: the run sees it when it lets pending events through.
struct TPressDuringMerge {
  TFormMain* Form;
  int PressAt;
  int Calls = 0;
};

bool StackMaxPressingPause(TBitmap& picture, TBitmap& result, intptr_t param) {
  auto& press = *reinterpret_cast<TPressDuringMerge*>(param);
  if (++press.Calls == press.PressAt)
    QMetaObject::invokeMethod(
        press.Form->ToolButtonAbort, [form = press.Form] { form->ToolButtonAbort->Click(); },
        Qt::QueuedConnection);
  return StackMax(picture, result, 0);
}

TEST_F(ListRunTest, PauseAnsweredNoGoesOnAndYesStops) {
  const Strings paths = {WritePicture("a.bmp", 1), WritePicture("b.bmp", 2), WritePicture("c.bmp", 3),
                         WritePicture("d.bmp", 4)};
  AddEntries(paths);
  TPressDuringMerge press{Form.get(), 1};
  Script().AnswerMessageBox(IDNO, "Program in pause... Do you want to Stop process");
  ExpectEndOfRun(0);
  Form->RunOnList(false, StackMaxPressingPause, reinterpret_cast<intptr_t>(&press), true);
  EXPECT_EQ(Script().Asked()[0].Caption, "STOP by User");
  EXPECT_EQ(Script().Asked()[0].Flags, MB_YESNO);
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf(paths)));
  EXPECT_EQ(Form->FResultCount, 4);
  EXPECT_FALSE(Form->FPause);
  EXPECT_FALSE(Form->FAbort);

  // Yes stops before the next entry, with no save offer but with the report.
  press = {Form.get(), 1};
  Script().AnswerMessageBox(IDYES, "Program in pause... Do you want to Stop process");
  ExpectEndOfRun(0, false);
  Form->RunOnList(false, StackMaxPressingPause, reinterpret_cast<intptr_t>(&press), true);
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf({paths[0], paths[1]})));
  EXPECT_EQ(Form->FResultCount, 2);
  EXPECT_TRUE(Form->FAbort);
}

TEST_F(ListRunTest, ThresholdPrompt) {
  const Strings paths = {WritePicture("a.bmp", 1), WritePicture("b.bmp", 2)};
  AddEntries(paths);
  Script().AnswerInputQuery(true, "300");  // above every byte: the last picture wins everywhere
  ExpectEndOfRun(0);
  Form->GetMAxThreshold1->Click();
  EXPECT_EQ(Script().Asked()[0].Caption, "Zentor");
  EXPECT_EQ(Script().Asked()[0].Text, "Threshold");
  EXPECT_EQ(StackThreshold, 300);
  EXPECT_TRUE(SamePixels(*Form->FResult, *Loaded(paths[1])));

  Script().AnswerInputQuery(true, "200x");  // no integer: 0, the plain maximum
  ExpectEndOfRun(0);
  Form->GetMAxThreshold1Click(nullptr);
  EXPECT_EQ(StackThreshold, 0);
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf(paths)));

  Script().AnswerInputQuery(false);  // cancelled: nothing runs
  Form->GetMaxTrhesholdandSave1Click(nullptr);
}

TEST_F(ListRunTest, SingleEntryRunTakesTheHighlightedEntryAndReportsOnlyAFailure) {
  const Strings paths = {WritePicture("a.bmp", 1), WritePicture("b.bmp", 2),
                         WritePicture("big.bmp", 3, 7, 3)};
  AddEntries(paths);
  SetMarks(*Form->ListBox1, "CUC");
  Form->ListBox1->SetItemIndex(1);
  Form->RunBatch(StackAdd, 0, true);
  auto doubled = Loaded(paths[1]);
  ReferenceBytes(*doubled, *Loaded(paths[1]), SumByte);
  EXPECT_TRUE(SamePixels(*Form->FResult, *doubled));
  EXPECT_EQ(Marks(*Form->ListBox1), "CCC");  // marked good
  EXPECT_TRUE(Form->FPause);
  EXPECT_EQ(Form->FResultCount, 1);
  // An operation that refuses a good picture: said, the entry keeps its marks and the result stays.
  Form->ListBox1->SetItemIndex(2);
  Script().AnswerMessageBox(IDOK, paths[2] + ": the operation cannot take this picture");
  Form->RunOnCurrentEntry([](TBitmap&, TBitmap&, intptr_t) { return false; }, 0);
  EXPECT_EQ(Marks(*Form->ListBox1), "CCC");
  EXPECT_TRUE(SamePixels(*Form->FResult, *doubled));
  EXPECT_EQ(Form->FResultCount, 1);
  // A picture that does not load is reported and marked as a list run reports and marks it.
  Form->ListBox1->Items().Put(0, Temp.File("gone.bmp"));
  Form->ListBox1->SetItemIndex(-1);
  const std::string gone = LoadError(Temp.File("gone.bmp"), "No such file or directory");
  Script().AnswerMessageBox(IDOK, Report(1, gone));
  Form->RunOnCurrentEntry(StackMax, 0);
  EXPECT_EQ(Script().Asked().back().Caption, "Process Pictures");
  EXPECT_FALSE(Form->ListBox1->ItemEnabled(0));
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), gone);
  EXPECT_TRUE(SamePixels(*Form->FResult, *doubled));
  EXPECT_EQ(Form->FResultCount, 1);
}

}  // namespace
