#include "translation/uformedit.h"

#include "workbench/ulngstrings.h"
TFormEdit* FormEdit = nullptr;

TFormEdit::TFormEdit(TComponent* owner) : TForm(owner) {
  SetName("FormEdit");
  SetCaption(lngEdit);
  // Sent to every window after a language file was applied; accepted and ignored here.
  SetMessageHandler(WM_USER + 500, [](intptr_t, intptr_t) { return intptr_t{0}; });
}
