// The result buffer's commands and the numbering of step files.
#include "workbench/umain.h"

void TFormMain::InitStepNumbering() {
  FStepPrefix.clear();
  FStepExt.clear();
  FStepCounter = 0;
  FPadNumbers = true;
  FNumFormat = "%s%4.4d%s";
  FAutoAdapt = true;
}

void TFormMain::SaveResult1Click(TObject*) {}

void TFormMain::ViewResult1Click(TObject*) {}

void TFormMain::ClearResult1Click(TObject*) {}

void TFormMain::numformat1Click(TObject*) {}
