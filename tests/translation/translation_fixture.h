#pragma once
// The program's twelve windows and one more holding a component of every kind, with the language
// folder in a temporary place, the scripted dialogs, and the message strings put back afterwards.

#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/scripted_dialogs_fixture.h"
#include "tests/support/test_files.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/inifiles.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/buttons.h"
#include "toolkit/ui/extctrls.h"
#include "toolkit/ui/menus.h"
#include "toolkit/ui/radiogroup.h"
#include "toolkit/ui/richedit.h"
#include "toolkit/ui/statusbar.h"
#include "toolkit/ui/toolbar.h"
#include "translation/program_forms.h"
#include "translation/ulng.h"
#include "workbench/ulngstrings.h"

// A window with every kind of component the language files know, and some they must leave alone.
class TFormTry : public TForm {
 public:
  explicit TFormTry(TComponent* owner) : TForm(owner) {
    SetName("FormTry");
    SetCaption("Try window");
    Edit1 = Make<TEdit>("Edit1", this);
    Edit1->SetText("edit text");
    Button1 = Make<TButton>("Button1", this);
    Button1->SetCaption("&Go");
    Memo1 = Make<TMemo>("Memo1", this);
    Memo1->SetText("first line\n\nthird = line\n");
    RichEdit1 = Make<TRichEdit>("RichEdit1", this);
    RichEdit1->SetText("never written");
    Radio1 = Make<TRadioGroup>("Radio1", this);
    Radio1->SetCaption("radio caption");
    Status1 = Make<TStatusBar>("Status1", this);
    Panel1 = Make<TPanel>("Panel1", this);
    Panel1->SetCaption("panel caption");
    Inner = Make<TButton>("Inner", Panel1);
    Inner->SetCaption("inside a panel");
    Combo1 = Make<TComboBox>("Combo1", Panel1);
    for (const char* item :
         {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten"})
      Combo1->Items().Add(item);
    Combo1->SetItemIndex(10);
    Group1 = Make<TGroupBox>("Group1", Panel1);
    Group1->SetCaption("group caption");
    Check1 = Make<TCheckBox>("Check1", Group1);
    Check1->SetCaption("check caption");
    Label1 = Make<TLabel>("Label1", Group1);
    Label1->SetCaption(" padded label ");
    Speed1 = Make<TSpeedButton>("Speed1", Panel1);
    Speed1->SetCaption("speed");
    Bar = Make<TToolBar>("Bar", Panel1);
    Tool1 = new TToolButton(this, Bar);
    Tool1->SetName("Tool1");
    Tool1->SetCaption("tool");
    Separator1 = new TToolButton(this, Bar);
    Separator1->SetName("Separator1");
    Separator1->SetStyle(TToolButtonStyle::tbsSeparator);
    Menu = new TMainMenu(this);
    Menu->SetName("Menu");
    Item1 = new TMenuItem(this);
    Item1->SetName("Item1");
    Item1->SetCaption("&File");
    Menu->Items()->Add(Item1);
    Dash1 = new TMenuItem(this);
    Dash1->SetName("Dash1");
    Dash1->SetCaption("-");
    Item1->Add(Dash1);
    for (TComponent* component : std::initializer_list<TComponent*>{
             Edit1, Button1, Memo1, RichEdit1, Radio1, Status1, Panel1, Inner, Combo1, Group1, Check1, Label1,
             Speed1, Tool1, Separator1, Item1, Dash1})
      component->SetHint(component->Name() + " hint");
    SetMessageHandler(WM_USER + 500, [this](intptr_t, intptr_t) {
      ++Applied;
      return intptr_t{0};
    });
  }
  template <class T, class Parent>
  T* Make(const char* name, Parent* parent) {
    auto* component = new T(this, parent);
    component->SetName(name);
    return component;
  }

  TEdit* Edit1;
  TButton* Button1;
  TMemo* Memo1;
  TRichEdit* RichEdit1;
  TRadioGroup* Radio1;
  TStatusBar* Status1;
  TPanel* Panel1;
  TButton* Inner;
  TComboBox* Combo1;
  TGroupBox* Group1;
  TCheckBox* Check1;
  TLabel* Label1;
  TSpeedButton* Speed1;
  TToolBar* Bar;
  TToolButton* Tool1;
  TToolButton* Separator1;
  TMainMenu* Menu;
  TMenuItem* Item1;
  TMenuItem* Dash1;
  int Applied = 0;
};

class TranslationTest : public ScriptedDialogsTest {
 protected:
  void SetUp() override {
    FPreviousFolder = GetCurrentDir();
    WriteLngStrings(FStrings);
    SetLngFolderOverride(Folder);
    CreateProgramForms();
    Try = NewForm<TFormTry>(nullptr);
    // The program's own texts, the try window's among them.
    KeepBuiltInTexts();
  }
  void TearDown() override {
    ScriptedDialogsTest::TearDown();
    Try.reset();
    Application->DestroyForms();
    SetLngFolderOverride("");
    ReadLngStrings(FStrings);
    // Listing the language folder made it the current one; it goes with the temporary folder.
    SetCurrentDir(FPreviousFolder);
  }

  // A file of the language folder.
  std::string Lng(const std::string& name) const { return Folder + name; }
  static std::string Read(const std::string& fileName) {
    const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
    return std::string(bytes.begin(), bytes.end());
  }
  static void Write(const std::string& fileName, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(fileName).parent_path());
    WriteWholeFile(fileName, std::vector<uint8_t>(text.begin(), text.end()));
  }

  TempDir Temp;
  std::string Folder = Temp.File("lng") + "/";
  std::unique_ptr<TFormTry, TFormDeleter> Try;

 private:
  TMemIniFile FStrings{""};
  std::string FPreviousFolder;
};
