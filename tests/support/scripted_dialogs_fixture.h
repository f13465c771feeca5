#pragma once
// Tests that talk to windows install the scripted dialogs: every question must have been queued (in
// order, of the right kind), and every queued answer must be used by the end of the test.

#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "toolkit/ui/scripted_dialogs.h"

// Installs a scripted seam for its lifetime and puts the Qt one (or whatever was there) back after.
class TScriptedDialogsScope {
 public:
  TScriptedDialogsScope() {
    auto dialogs = std::make_unique<TScriptedDialogs>();
    FDialogs = dialogs.get();
    FPrevious = InstallDialogs(std::move(dialogs));
  }
  ~TScriptedDialogsScope() { InstallDialogs(std::move(FPrevious)); }
  TScriptedDialogsScope(const TScriptedDialogsScope&) = delete;
  TScriptedDialogsScope& operator=(const TScriptedDialogsScope&) = delete;

  TScriptedDialogs& Dialogs() { return *FDialogs; }

  // Records a test failure for every unexpected question and every unused answer.
  void ExpectAllAnswered() const {
    std::ostringstream failures;
    for (const std::string& failure : FDialogs->Failures()) failures << "  " << failure << "\n";
    EXPECT_TRUE(FDialogs->Failures().empty()) << "dialog questions that were not expected:\n"
                                              << failures.str();
    EXPECT_EQ(FDialogs->PendingAnswers(), 0u) << "queued dialog answers that no question used";
  }

 private:
  TScriptedDialogs* FDialogs = nullptr;
  std::unique_ptr<TDialogs> FPrevious;
};

class ScriptedDialogsTest : public ::testing::Test {
 protected:
  void TearDown() override { FScope.ExpectAllAnswered(); }
  TScriptedDialogs& Script() { return FScope.Dialogs(); }

 private:
  TScriptedDialogsScope FScope;
};
