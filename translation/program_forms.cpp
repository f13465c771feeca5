#include "translation/program_forms.h"

#include "toolkit/ui/application.h"
#include "translation/uformedit.h"
#include "translation/ulng.h"
#include "translation/ulngform.h"
#include "workbench/uabout.h"
#include "workbench/ucreateimg.h"
#include "workbench/uformerror.h"
#include "workbench/uformfactor.h"
#include "workbench/uformparam.h"
#include "workbench/ulut.h"
#include "workbench/umain.h"
#include "workbench/unumformat.h"
#include "workbench/usearch.h"
#include "workbench/uselectdir.h"

void CreateProgramForms() {
  Application->CreateForm(FormMain);
  Application->CreateForm(FormAbout);
  Application->CreateForm(FormParams);
  Application->CreateForm(FormCreateImg);
  Application->CreateForm(Form2);
  Application->CreateForm(FormFactor);
  Application->CreateForm(Lut);
  Application->CreateForm(FormSelDir);
  Application->CreateForm(FormSearch);
  Application->CreateForm(FormNumFormat);
  Application->CreateForm(LngForm);
  Application->CreateForm(FormEdit);
  KeepBuiltInTexts();
}
