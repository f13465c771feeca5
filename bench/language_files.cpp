// Language files and list files at real sizes: the language-file editor opening a large file through its
// window (the section and key lines marked), TMemIniFile writing, reading and looking up every key of a
// file of many sections, shaped like a list file (one section per picture with its name and marks), and
// a list file saved and loaded through the main window.
//
//   bench_language_files [editor lines [ini sections [list entries [rounds]]]]
//   default 100000 lines, 200000 sections, 20000 entries, 3 rounds
//
// Each figure is the median of the rounds; what was loaded or read is checked so that a figure never
// stands for work that was not done.

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/support/bench_main.h"
#include "bench/support/timing.h"
#include "toolkit/core/format.h"
#include "toolkit/core/inifiles.h"
#include "toolkit/core/string_list.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/screen.h"
#include "toolkit/ui/scripted_dialogs.h"
#include "translation/program_forms.h"
#include "translation/uformedit.h"
#include "workbench/umain.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) throw std::runtime_error(std::string("check failed: ") + what);
}

// A language file of the given number of lines: sections of four keys, a blank line after each.
std::string LanguageText(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    switch (i % 6) {
      case 0:
        text += "[FormMain.Component" + std::to_string(i / 6) + "]\r\n";
        break;
      case 5:
        text += "\r\n";
        break;
      default:
        text += "Caption" + std::to_string(i % 6) + "=Créer la liste n° " + std::to_string(i) + "\r\n";
    }
  }
  return text;
}

double OpenInEditor(TFormEdit& editor, const std::string& fileName, int lines) {
  editor.RichEdit1->Clear();
  const auto start = BenchClock::now();
  editor.OpenEditor(fileName, "", "");
  Application->ProcessMessages();
  const double seconds = SecondsSince(start);
  Check(editor.RichEdit1->Lines().Count() == lines, "every line loaded");
  editor.RichEdit1->SetSelStart(editor.RichEdit1->LineStart(lines - 2));
  Check(editor.RichEdit1->FirstIndent() == 20, "the last key line marked");
  editor.RichEdit1->SetSelStart(editor.RichEdit1->LineStart(lines - 1));
  Check(editor.RichEdit1->FirstIndent() == 0, "the last blank line not marked");
  return seconds;
}

std::string EntrySection(int i) {
  return Format("L%4.4d", {i});
}

struct TIniFigures {
  double Write = 0, Read = 0, LookUp = 0;
};

TIniFigures IniRound(const std::string& fileName, int sections) {
  TIniFigures figures;
  auto start = BenchClock::now();
  {
    std::filesystem::remove(fileName);  // a new file, as a list saved for the first time
    TMemIniFile ini(fileName);
    ini.WriteString("Application", "name", "Orvanta");
    ini.WriteInteger("List", "count", sections);
    for (int i = 0; i < sections; ++i) {
      const std::string section = EntrySection(i);
      ini.WriteString(section, "name", "/home/astro/nights/2024-08-12/IMG_" + std::to_string(i) + ".JPG");
      ini.WriteBool(section, "slct", i % 3 == 0);
      ini.WriteBool(section, "chck", i % 2 == 0);
    }
    ini.UpdateFile();
  }
  figures.Write = SecondsSince(start);

  start = BenchClock::now();
  const TMemIniFile ini(fileName);
  figures.Read = SecondsSince(start);

  start = BenchClock::now();
  const int count = ini.ReadInteger("List", "count", 0);
  int checked = 0;
  size_t names = 0;
  for (int i = 0; i < count; ++i) {
    const std::string section = EntrySection(i);
    names += ini.ReadString(section, "name", "").size();
    checked += ini.ReadBool(section, "chck", true) ? 1 : 0;
    ini.ReadBool(section, "slct", false);
  }
  figures.LookUp = SecondsSince(start);
  Check(count == sections, "the count read back");
  Check(checked == (sections + 1) / 2, "every check mark read back");
  Check(names > static_cast<size_t>(sections) * 30, "every name read back");
  return figures;
}

struct TListFigures {
  double Save = 0, Load = 0;
};

TListFigures ListFileRound(const std::string& fileName, int entries, TScriptedDialogs& script) {
  TCheckListBox& list = *FormMain->ListBox1;
  list.Clear();
  for (int i = 0; i < entries; ++i)
    list.SetChecked(list.Items().Add("/home/astro/nights/IMG_" + std::to_string(i) + ".JPG"), i % 2 == 0);
  std::filesystem::remove(fileName);
  TListFigures figures;
  auto start = BenchClock::now();
  FormMain->SaveListFile(fileName);
  figures.Save = SecondsSince(start);
  script.AnswerMessageBox(IDOK, "Clear List?");
  start = BenchClock::now();
  FormMain->LoadListFile(fileName);
  figures.Load = SecondsSince(start);
  Check(script.Failures().empty() && script.PendingAnswers() == 0, "the list's question answered");
  Check(list.Count() == entries && list.Checked(entries - 2) && !list.Checked(entries - 1),
        "every entry loaded with its mark");
  return figures;
}

// The program's windows with scripted dialogs, taken down again whatever happens.
class TProgramWindows {
 public:
  TProgramWindows() {
    auto dialogs = std::make_unique<TScriptedDialogs>();
    Script = dialogs.get();
    InstallDialogs(std::move(dialogs));
    CreateProgramForms();
    FormMain->Show();
    // The list commands act on the main window's left list.
    Screen->SetActiveForm(FormMain);
    FormMain->ListBoxEnter(FormMain->ListBox1);
  }
  ~TProgramWindows() {
    Application->DestroyForms();
    InstallDialogs(nullptr);
  }
  TProgramWindows(const TProgramWindows&) = delete;
  TProgramWindows& operator=(const TProgramWindows&) = delete;

  TScriptedDialogs* Script = nullptr;
};

void ListFileRounds(const std::string& folder, int entries, int rounds) {
  const TProgramWindows windows;
  std::vector<double> saves, loads;
  const std::string listFile = folder + "/processlist.txt";
  for (int r = 0; r < rounds; ++r) {
    const TListFigures figures = ListFileRound(listFile, entries, *windows.Script);
    saves.push_back(figures.Save);
    loads.push_back(figures.Load);
  }
  std::printf("list file: %d pictures saved in %.3f s and loaded in %.3f s through the main window\n",
              entries, Median(saves), Median(loads));
}

void Run(const std::string& folder, int lines, int sections, int entries, int rounds) {
  const std::string lngFile = folder + "/large.lng";
  const int written = lines - lines % 6;
  {
    const std::string text = LanguageText(written);
    FILE* file = std::fopen(lngFile.c_str(), "wb");
    const bool whole = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file) std::fclose(file);
    Check(whole, "the language file written");
  }
  auto editor = NewForm<TFormEdit>(nullptr);
  std::vector<double> editorTimes;
  for (int r = 0; r < rounds; ++r) editorTimes.push_back(OpenInEditor(*editor, lngFile, written));
  editor->BitBtnCancel->click();
  std::printf("editor: %d lines (%.1f MB) opened and marked in %.3f s\n", written,
              std::filesystem::file_size(lngFile) / 1e6, Median(editorTimes));

  std::vector<double> writes, reads, lookUps;
  const std::string iniFile = folder + "/list.txt";
  for (int r = 0; r < rounds; ++r) {
    const TIniFigures figures = IniRound(iniFile, sections);
    writes.push_back(figures.Write);
    reads.push_back(figures.Read);
    lookUps.push_back(figures.LookUp);
  }
  std::printf(
      "ini: %d sections (%.1f MB): written in %.3f s, read in %.3f s, every key looked up in %.3f s\n",
      sections, std::filesystem::file_size(iniFile) / 1e6, Median(writes), Median(reads), Median(lookUps));

  ListFileRounds(folder, entries, rounds);
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::max(12, atoi(argv[1])) : 100000;
  const int sections = argc > 2 ? std::max(1, atoi(argv[2])) : 200000;
  const int entries = argc > 3 ? std::max(2, atoi(argv[3])) : 20000;
  const int rounds = argc > 4 ? std::max(1, atoi(argv[4])) : 3;
  return RunWindowBenchmark("orvanta-bench-lng", argc, argv, [&](const std::string& folder) {
    Run(folder, lines, sections, entries, rounds);
  });
}
