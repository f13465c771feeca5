// The list run driver and the processing commands of the "Processing..." menu.
#include "workbench/umain.h"

void TFormMain::GetMAX1Click(TObject*) {}

void TFormMain::GetMaxandSave1Click(TObject*) {}

void TFormMain::GetMAxThreshold1Click(TObject*) {}

void TFormMain::GetMaxTrhesholdandSave1Click(TObject*) {}

void TFormMain::Getmin1Click(TObject*) {}

void TFormMain::GetMinAndSave1Click(TObject*) {}

void TFormMain::GetMaxGray1Click(TObject*) {}

void TFormMain::GetMaxGrayandSavesteps1Click(TObject*) {}

void TFormMain::GetMinGray1Click(TObject*) {}

void TFormMain::GetMinGrayandSavesteps1Click(TObject*) {}

void TFormMain::Add1Click(TObject*) {}

void TFormMain::Sub1Click(TObject*) {}
