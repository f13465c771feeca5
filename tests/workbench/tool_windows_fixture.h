#pragma once
// The real main window with the tool windows it drives (batch operations, search parameters, picture
// information and masks), each set as the program's window variable for the test's length.

#include <memory>

#include "tests/workbench/main_window_fixture.h"
#include "workbench/ucreateimg.h"
#include "workbench/uformfactor.h"
#include "workbench/usearch.h"

class ToolWindowsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    FormMain = Form.get();
    Factor = NewForm<TFormFactor>(nullptr);
    FormFactor = Factor.get();
    Search = NewForm<TFormSearch>(nullptr);
    FormSearch = Search.get();
    Info = NewForm<TFormCreateImg>(nullptr);
    FormCreateImg = Info.get();
  }
  void TearDown() override {
    FormCreateImg = nullptr;
    FormSearch = nullptr;
    FormFactor = nullptr;
    FormMain = nullptr;
    Info.reset();
    Search.reset();
    Factor.reset();
    MainWindowTest::TearDown();
  }

  // The picture whose bytes are op(picture byte, reference byte), one ScanLine call per row.
  template <class ByteOp>
  static std::unique_ptr<TBitmap> Combined(const std::string& picture, const std::string& reference,
                                           ByteOp op) {
    auto result = Loaded(picture);
    auto other = Loaded(reference);
    for (int y = 0; y < result->Height(); ++y)
      for (int x = 0; x < result->Width() * 3; ++x)
        result->ScanLine(y)[x] = op(result->ScanLine(y)[x], other->ScanLine(y)[x]);
    return result;
  }

  std::unique_ptr<TFormFactor, TFormDeleter> Factor;
  std::unique_ptr<TFormSearch, TFormDeleter> Search;
  std::unique_ptr<TFormCreateImg, TFormDeleter> Info;
};
