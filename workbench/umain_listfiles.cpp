// Saving and loading the current list as a list file.
#include "workbench/umain.h"

void TFormMain::LoadList1Click(TObject*) {}

void TFormMain::SaveList1Click(TObject*) {}
