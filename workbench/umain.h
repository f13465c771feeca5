#pragma once
// The main window: the two picture lists, the image view, three tool bars, the status bar and the main
// menu from which every command starts.
//
// Files: umain_create.cpp builds the components, menus and bindings; the handlers live by role in
// umain_frame.cpp (the window itself), umain_lists.cpp (picture lists), umain_run.cpp (runs and
// processing commands), umain_result.cpp (result and step numbering), umain_view.cpp (image view),
// umain_listfiles.cpp (list files) and umain_tools.cpp (search, batch, maximum search, mask).

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "toolkit/graphics/bitmap.h"
#include "toolkit/ui/checklst.h"
#include "toolkit/ui/comctrls.h"
#include "toolkit/ui/extctrls.h"
#include "toolkit/ui/file_dialogs.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/imglist.h"
#include "toolkit/ui/menus.h"
#include "toolkit/ui/statusbar.h"
#include "toolkit/ui/stdctrls.h"
#include "toolkit/ui/toolbar.h"
#include "workbench/image_op.h"
#include "workbench/search_ops.h"
#include "workbench/uflyimage.h"

class TFormMain : public TMainWindowForm {
 public:
  explicit TFormMain(TComponent* owner);
  ~TFormMain() override;

  // ---- Components
  TPanel* Panel1;
  TToolBar* ToolBar1;
  TToolButton* ToolButtonOpen1;
  TToolButton* ToolButton5;
  TToolButton* ToolButtonDelete1;
  TToolButton* ToolButton3;
  TToolButton* ToolButtonCopyList1;
  TToolButton* ToolButton4;
  TToolButton* ToolButtonUp1;
  TToolButton* ToolButtonDown1;
  TToolButton* ToolButton2;
  TToolButton* ToolButtonFocus1;
  TCheckListBox* ListBox1;
  TSplitter* Splitter1;
  TPanel* Panel2;
  TToolBar* ToolBar2;
  TToolButton* ToolButtonSwap;
  TToolButton* ToolButton11;
  TToolButton* ToolButtonDelete2;
  TToolButton* ToolButton10;
  TToolButton* ToolButtonCopyList2;
  TToolButton* ToolButton6;
  TToolButton* ToolButtonUp2;
  TToolButton* ToolButtonDown2;
  TToolButton* ToolButton8;
  TToolButton* ToolButtonFocus2;
  TCheckListBox* ListBox2;
  TSplitter* Splitter2;
  TPanel* Panel3;
  TToolBar* ToolBar3;
  TToolButton* ToolButtonAbort;
  TToolButton* ToolButton12;
  TToolButton* ToolButtonSave;
  TToolButton* EnableFlyOverMouse2;
  TToolButton* ToolButton1;
  TToolButton* ToolButton7;
  TTrackBar* TrackBar1;
  TLabel* Label100;
  TToolButton* ToolButton9;
  TScrollBox* ScrollBox1;
  tFlyImage* Image1;
  TStatusBar* StatusBar1;
  TImageList* ImageList1;
  TOpenDialog* OpenDialog1;
  TSaveDialog* SaveDialog1;

  TMainMenu* MainMenu1;
  TMenuItem* Fichier1;
  TMenuItem* NewDirectory1;
  TMenuItem* NewList1;
  TMenuItem* LoadList1;
  TMenuItem* SaveList1;
  TMenuItem* ViewResult1;
  TMenuItem* ClearResult1;
  TMenuItem* SaveResult1;
  TMenuItem* Quit1;
  TMenuItem* Edit1;
  TMenuItem* Testvalidpictures1;
  TMenuItem* Redirect1;
  TMenuItem* CheckSelection;
  TMenuItem* UncheckSelection;
  TMenuItem* InvertCheckSelection;
  TMenuItem* CheckAll;
  TMenuItem* UncheckAll;
  TMenuItem* InvertCheckAll;
  TMenuItem* ClearSelection1;
  TMenuItem* Clearlist1;
  TMenuItem* Selectall;
  TMenuItem* UnselectAll;
  TMenuItem* InvertSelectAll;
  TMenuItem* Sendtobottom1;
  TMenuItem* Process1;
  TMenuItem* StackBuffer1;
  TMenuItem* GetMAX1;
  TMenuItem* GetMaxandSave1;
  TMenuItem* GetMAxThreshold1;
  TMenuItem* GetMaxTrhesholdandSave1;
  TMenuItem* Getmin1;
  TMenuItem* GetMinAndSave1;
  TMenuItem* GetMaxGray1;
  TMenuItem* GetMaxGrayandSavesteps1;
  TMenuItem* GetMinGray1;
  TMenuItem* GetMinGrayandSavesteps1;
  TMenuItem* Add1;
  TMenuItem* Sub1;
  TMenuItem* Search1;
  TMenuItem* Search2;
  TMenuItem* SearchSave1;
  TMenuItem* Crop1;
  TMenuItem* CropSave1;
  TMenuItem* NewBatchOperations1;
  TMenuItem* Quorvel1;
  TMenuItem* MaximumSearch1;
  TMenuItem* GaussianSubtraction1;
  TMenuItem* Zentorsavemeteors1;
  TMenuItem* CreateImage1;
  TMenuItem* Options1;
  TMenuItem* Adapterlimage1;
  TMenuItem* numformat1;
  TMenuItem* SortList1;
  TMenuItem* SortList2;
  TMenuItem* EnableFlyOverMouse1;
  TMenuItem* Help1;
  TMenuItem* About1;
  TMenuItem* Translation1;

  // ---- Data (fields of the window; the other windows and the tests reach them directly)
  int32_t FPointX = -1;  // picture point chosen by the user, -1 = none
  int32_t FPointY = -1;
  double FZoom = 1.0;                // view scale
  std::string FListCaption;          // display name of the current list
  bool FDirty = false;               // the result holds unsaved work
  std::unique_ptr<TBitmap> FResult;  // the result buffer
  bool FFirstIsStep = true;
  int32_t FResultCount = 0;  // pictures merged into the result
  // A picture has been merged into the result since it was last emptied: there is a result to save.
  // Set by the runs as they merge, cleared with the result; no other command's count stands for it.
  bool FResultMerged = false;
  // Step numbering.
  std::string FStepPrefix;
  std::string FStepExt;
  int32_t FStepCounter = 0;
  bool FPadNumbers = true;
  std::string FNumFormat;
  bool FAutoAdapt = true;
  // Pause and stop requests of a running operation.
  bool FPause = false;
  bool FAbort = false;
  TCheckListBox* FCurrentList = nullptr;  // not owned

  // ---- The window itself (umain_frame.cpp)
  void FormCreate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormDestroy(TObject* Sender);
  void FormResize(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void Quit1Click(TObject* Sender);
  void ToolButtonAbortClick(TObject* Sender);
  void Options1Click(TObject* Sender);
  void About1Click(TObject* Sender);
  void Translation1Click(TObject* Sender);
  void ToolButton9Click(TObject* Sender);

  // ---- Picture lists (umain_lists.cpp)
  TCheckListBox* GetCurrentList();
  void SetCurrentList(TCheckListBox* List);
  // Entry Index of the list (negated for a failure) with the text, in the error style unless Ok.
  void ShowProgress(int Index, const std::string& Text, TCheckListBox* List, bool Ok);
  // The pictures merged into the result so far over the left list's count, with the text.
  void ShowMergedCount(const std::string& Text);
  // Unchecks and disables the entry. Text says why it failed: it is kept and shown when the entry is
  // clicked later (a failed entry is not read again). Without a text the kept one stays.
  void MarkEntryFailed(int Index, TCheckListBox* List, const std::string& Text = {});
  void MarkEntryGood(int Index, TCheckListBox* List);
  void ClearList(TCheckListBox* List);
  void ClearRightList();
  void CopyMarks(TCheckListBox* Source, TCheckListBox* Target);
  void ImportBrowserChecked();
  void ListBoxClick(TObject* Sender);
  void ListBoxDrawItem(TCheckListBox* Control, int Index, const TRect& Rect, TOwnerDrawState State);
  void ListBoxEnter(TObject* Sender);
  void ToolBar1Click(TObject* Sender);
  void ToolBar2Click(TObject* Sender);
  void ToolButtonOpen1Click(TObject* Sender);
  void ClearSelected1Click(TObject* Sender);
  void ToolButtonCopyList1Click(TObject* Sender);
  void ToolButtonUp1Click(TObject* Sender);
  void ToolButtonDown1Click(TObject* Sender);
  void ToolButtonSwapClick(TObject* Sender);
  void ToolButtonDelete2Click(TObject* Sender);
  void ToolButtonCopyList2Click(TObject* Sender);
  void ToolButtonUp2Click(TObject* Sender);
  void ToolButtonDown2Click(TObject* Sender);
  void NewDirectory1Click(TObject* Sender);
  void NewList1Click(TObject* Sender);
  void AddFiles1Click(TObject* Sender);
  void Testvalidpictures1Click(TObject* Sender);
  void Redirect1Click(TObject* Sender);
  void CheckSelectionClick(TObject* Sender);
  void UncheckSelectionClick(TObject* Sender);
  void InvertCheckSelectionClick(TObject* Sender);
  void CheckAllClick(TObject* Sender);
  void UncheckAllClick(TObject* Sender);
  void InvertCheckAllClick(TObject* Sender);
  void ClearSelection1Click(TObject* Sender);
  void ClearList1Click(TObject* Sender);
  void SelectallClick(TObject* Sender);
  void UnselectAllClick(TObject* Sender);
  void InvertSelectAllClick(TObject* Sender);
  void Sendtobottom1Click(TObject* Sender);
  void SortList1Click(TObject* Sender);
  void SortList2Click(TObject* Sender);

  // ---- List files (umain_listfiles.cpp)
  void LoadList1Click(TObject* Sender);
  void SaveList1Click(TObject* Sender);
  // Writes the current list (path, selection and check mark of every entry) into the ini file.
  void SaveListFile(const std::string& FileName);
  // Clears the current list (with its question) and fills it from the ini file. A name that is no
  // readable file, or a file without a list, is said and changes nothing.
  void LoadListFile(const std::string& FileName);

  // ---- Runs and processing commands (umain_run.cpp)
  void GetMAX1Click(TObject* Sender);
  void GetMaxandSave1Click(TObject* Sender);
  void GetMAxThreshold1Click(TObject* Sender);
  void GetMaxTrhesholdandSave1Click(TObject* Sender);
  void Getmin1Click(TObject* Sender);
  void GetMinAndSave1Click(TObject* Sender);
  void GetMaxGray1Click(TObject* Sender);
  void GetMaxGrayandSavesteps1Click(TObject* Sender);
  void GetMinGray1Click(TObject* Sender);
  void GetMinGrayandSavesteps1Click(TObject* Sender);
  void Add1Click(TObject* Sender);
  void Sub1Click(TObject* Sender);
  // The list driver: every enabled and checked picture of the left list through Op into FResult. With
  // FirstIsStep the first picture that loads is the starting result; otherwise every picture, the first
  // included, goes through Op. With SaveSteps every new result is saved as a numbered step.
  void RunOnList(bool SaveSteps, TImageOp Op, intptr_t Param, bool FirstIsStep);
  // Asks for the first step's name, takes prefix, counter and extension from it, then runs the list.
  void RunWithSteps(TImageOp Op, intptr_t Param, bool FirstIsStep);
  // The batch window's single-picture run: the highlighted entry of the left list alone.
  void RunBatch(TImageOp Op, intptr_t Param, bool FirstIsStep);
  // A picture that cannot be loaded is marked failed and reported; one the operation refuses (a
  // reference of another size) keeps its marks and the user is told why. The result stays as it was
  // unless the picture went through.
  void RunOnCurrentEntry(TImageOp Op, intptr_t Param);
  // The end-of-run report: "N File(s) in Error" under "Process Pictures", with the first failure's
  // path and reason when there is one.
  void ReportErrors(int Errors, const std::string& FirstFailure = {});
  // After the pause button: asks whether to stop. Yes sets the abort flag and gives true; No clears
  // both flags and the run goes on.
  bool StopAtPause();

  // ---- Result and step numbering (umain_result.cpp)
  void InitStepNumbering();
  void SaveResult1Click(TObject* Sender);
  void ViewResult1Click(TObject* Sender);
  void ClearResult1Click(TObject* Sender);
  void numformat1Click(TObject* Sender);
  // The name of step number Counter (a counter out of 0 .. 0x3FFFFFFE restarts FStepCounter at 0).
  std::string StepFileName(int32_t Counter);
  // Saves the bitmap as the next step (24-bit), asking before an existing file is overwritten; Answer
  // keeps the last answer of that question for the run (mrYes, mrNo, mrCancel, mrNoToAll, mrYesToAll).
  void SaveStep(TBitmap* Bitmap, int& Answer);
  // Saves the bitmap under FileName (32-bit) with the same question; FileName receives the name really
  // written (".bmp" replacing an extension that is neither BMP nor JPEG). True when written; a file that
  // cannot be written raises the toolkit's file error (naming it and the system's reason).
  bool SaveAs(TBitmap* Bitmap, std::string& FileName, int& Answer);

  // ---- Image view (umain_view.cpp)
  void ShowBitmap(TBitmap* Bitmap);
  void PreviewEntry(int Index, TCheckListBox* List);
  void LayoutView();
  void Panel1CanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
  void Panel2CanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
  void ToolButton7Click(TObject* Sender);
  void Adapterlimage1Click(TObject* Sender);
  void TrackBar1Change(TObject* Sender);
  void Label100Click(TObject* Sender);
  void EnableFlyOverMouse1Click(TObject* Sender);
  void EnableFlyOverMouse2Click(TObject* Sender);
  void Image1Click(TObject* Sender);

  // ---- Search, batch operations, maximum search, mask (umain_tools.cpp)
  void Search1Click(TObject* Sender);
  void SearchSave1Click(TObject* Sender);
  void Crop1Click(TObject* Sender);
  void CropSave1Click(TObject* Sender);
  void NewBatchOperations1Click(TObject* Sender);
  void MaximumSearch1Click(TObject* Sender);
  void CreateImage1Click(TObject* Sender);
  // The batch window's commands, one per operation: the reference named in the batch window, the
  // window's factor and offset, then every checked picture of the left list through the operation with
  // numbered steps; with Test, the highlighted entry alone, shown and not saved.
  void BatchSubtract(bool Test);
  void BatchAdd(bool Test);
  void BatchDivide(bool Test);
  void BatchMultiply(bool Test);
  void BatchSquare(bool Test);
  void BatchCube(bool Test);
  // Asks for the output name, then runs the search with saving.
  void SearchAndSave(TSearchOp Op);
  // The search over the checked pictures of the left list with the parameters of the search window;
  // found pictures go to the right list, or are saved (as the operation leaves them) under Dir, their
  // own name and Ext.
  void SearchList(TSearchOp Op, bool Save, std::string Dir, std::string Ext);
  // The checked picture of the left list that is brightest at the chosen point ends in the result.
  void MaximumSearch();
  // Fills the information window from the view's picture and the chosen point, and shows it. Only
  // Image1Click calls it (the view's own mouse events are not connected): X, Y are the chosen point.
  void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  // The information window's notification: its point becomes the chosen point.
  void PointApplied();

 private:
  // The result as it stood before a run, given back when the run merges nothing.
  struct TKeptResult {
    std::unique_ptr<TBitmap> Bitmap;
    bool Dirty = false;
    int32_t Count = 0;
    bool Merged = false;
  };
  // Sets the result aside and gives the run a new empty one; false, with the result untouched, when
  // none can be made.
  bool SetResultAside(TKeptResult& Kept);
  // Gives the kept result back (shown again when the view shows the result).
  void RestoreResult(TKeptResult& Kept);

  // Filter of every registered picture format, "bmp" by default: the result's and the steps' dialog.
  void PreparePictureSaveDialog();
  void CreateComponents();
  void CreateToolBars();
  void CreateMenu();
  void BindHandlers();

  // What the status line said of an entry when it failed, by path, for the failed entries (which are
  // not read again) clicked later.
  std::string FailureTextOf(const std::string& Path) const;
  std::unordered_map<std::string, std::string> FFailureTexts;

  // The picture size the view was last laid out for.
  int FLayoutWidth = -1;
  int FLayoutHeight = -1;
};

extern TFormMain* FormMain;
