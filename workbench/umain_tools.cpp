// The commands that open the tool windows: search and crop, batch operations, maximum search, mask.
#include "workbench/umain.h"

void TFormMain::Search1Click(TObject*) {}

void TFormMain::SearchSave1Click(TObject*) {}

void TFormMain::Crop1Click(TObject*) {}

void TFormMain::CropSave1Click(TObject*) {}

void TFormMain::NewBatchOperations1Click(TObject*) {}

void TFormMain::MaximumSearch1Click(TObject*) {}

void TFormMain::CreateImage1Click(TObject*) {}
