#pragma once
// The "Mask Directory" browser: the subfolders of the current folder on the left (a shell folder view
// with a path box, its history and the navigation buttons), the files of that folder on the right,
// chosen by a name mask and an extension filter, checked by the user and handed to the main window's
// left list with OK. The window stays on top and is shown without being modal.
//
// Files: uselectdir.cpp builds the window and binds its handlers; uselectdir_folders.cpp is the folder
// view and its navigation; uselectdir_files.cpp the file list, its marks, keys, OK and Close.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/ui/buttons.h"
#include "toolkit/ui/checklst.h"
#include "toolkit/ui/coolbar.h"
#include "toolkit/ui/extctrls.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/imglist.h"
#include "toolkit/ui/listview.h"
#include "toolkit/ui/menus.h"
#include "toolkit/ui/shell.h"
#include "toolkit/ui/stdctrls.h"
#include "toolkit/ui/toolbar.h"

// One subfolder shown in the folder view; its details are filled when the view first shows it.
struct TShellItem {
  std::string FullPidl;  // the current folder's list with Pidl added
  std::string Pidl;      // the item's list within the current folder
  bool Empty = true;     // details not filled yet
  std::string DisplayName;
  std::string TypeName;
  int32_t ImageIndex = 0;
  int32_t Size = 0;  // kilobytes, at least 1
  int32_t Attributes = 0;
  std::string ModDate;
};

class TFormSelDir : public TForm {
 public:
  explicit TFormSelDir(TComponent* owner);
  ~TFormSelDir() override;

  // ---- Components
  TSplitter* Splitter1;
  TListView* ListView;
  TCoolBar* CoolBar1;
  TToolBar* ToolBar2;
  TToolButton* btnBrowse;
  TToolButton* btnBack;
  TToolButton* ToolButton3;
  TToolButton* btnLargeIcons;
  TToolButton* btnSmallIcons;
  TToolButton* btnList;
  TToolButton* btnReport;
  TToolButton* ToolButton1;
  TToolButton* ToolButtonCheck;
  TToolButton* ToolButton2;
  TToolButton* ToolButton4;
  TComboBox* cbPath;
  TCheckListBox* CheckListBox1;
  TPanel* Panel1;
  TLabel* Label1;
  TEdit* EditName;
  TLabel* Label3;
  TComboBox* FilterComboBox1;
  TBitBtn* BitBtnOk;
  TBitBtn* BitBtnClose;
  TImageList* ToolbarImages;
  TPopupMenu* PopupMenu1;
  TMenuItem* estiffilesarevalidpictures1;
  TMenuItem* N1;
  TMenuItem* CheckSelection;
  TMenuItem* UncheckSelection;
  TMenuItem* InvertCheckSelection;
  TMenuItem* N2;
  TMenuItem* CheckAll;
  TMenuItem* UnCheckAll;
  TMenuItem* InvertCheckAll;
  TMenuItem* N3;
  TMenuItem* SelectAll;
  TMenuItem* UnselectAll;
  TPopupMenu* PopupMenu2;

  // ---- State
  std::string FPidl;                                // the current folder's absolute list
  std::vector<std::unique_ptr<TShellItem>> FItems;  // the folder view's items, in display order
  TShellFolder FShellFolder;
  TShellFolder FDesktopFolder;
  std::string FPath;   // the current folder's path
  TNotifyEvent FOnOk;  // installed by the opener before showing the window

  // ---- The window and the folder view (uselectdir_folders.cpp)
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void Form1Close(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void btnBrowseClick(TObject* Sender);
  void btnBackClick(TObject* Sender);
  void btnLargeIconsClick(TObject* Sender);
  void cbPathClick(TObject* Sender);
  void cbPathKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ListViewDblClick(TObject* Sender);
  void ListViewKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ListViewData(TObject* Sender, TListItem& Item);
  void ListViewDataHint(TObject* Sender, int StartIndex, int EndIndex);
  void ListViewDataFind(TObject* Sender, TItemFind Find, const std::string& FindString, int StartIndex,
                        TSearchDirection Direction, bool Wrap, int& Index);
  // Goes to the folder a path names (as typed or chosen), or to the folder of an absolute list; both
  // end by listing the folder's files. A folder that cannot be reached raises, and the window keeps
  // the folder it had.
  void SetPath(const std::string& Path);
  void SetItemIdList(const std::string& List);
  std::string GetDisplayName(const TShellFolder& Folder, const std::string& List, bool ForParsing);
  int GetShellImage(const std::string& List);
  bool IsFolder(const TShellFolder& Folder, const std::string& List);
  int ListSortCompare(const TShellItem& A, const TShellItem& B);

  // ---- The file list (uselectdir_files.cpp)
  void BuildFilterList();
  // Lists the folder's files that pass the mask and the filter, each checked. A folder that cannot be
  // entered leaves the list empty and raises its message.
  void FillFileList(const std::string& Folder);
  void FilterComboBox1Select(TObject* Sender);
  void EditNameChange(TObject* Sender);
  void CheckListBox1DrawItem(TCheckListBox* Control, int Index, const TRect& Rect, TOwnerDrawState State);
  void CheckListBox1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ToolButtonCheckClick(TObject* Sender);
  void CheckSelectionClick(TObject* Sender);
  void UncheckSelectionClick(TObject* Sender);
  void InvertCheckSelectionClick(TObject* Sender);
  void CheckAllClick(TObject* Sender);
  void UnCheckAllClick(TObject* Sender);
  void InvertCheckAllClick(TObject* Sender);
  void SelectAllClick(TObject* Sender);
  void UnselectAllClick(TObject* Sender);
  void BitBtnOkClick(TObject* Sender);
  void BitBtnCloseClick(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

 protected:
  // Escape works the Close button, as the window's cancel button.
  void reject() override;

 private:
  void PopulateFolder(const TShellFolder& Folder);
  // The path box names the folder shown: its history entry is chosen, or one is made on top.
  void ShowPathInHistory();
  void CreateComponents();
  void CreateMenus();
  void BindHandlers();

  // The lists the path box's entries carry (an entry's object points at one); kept as long as the
  // history, which is never pruned.
  std::vector<std::unique_ptr<std::string>> FHistoryLists;
};

extern TFormSelDir* FormSelDir;
