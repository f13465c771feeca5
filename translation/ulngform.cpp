#include "translation/ulngform.h"

TLngForm* LngForm = nullptr;

TLngForm::TLngForm(TComponent* owner) : TForm(owner) {
  SetName("LngForm");
  SetCaption("Fichiers de Traduction");
  // Sent to every window after a language file was applied; accepted and ignored here.
  SetMessageHandler(WM_USER + 500, [](intptr_t, intptr_t) { return intptr_t{0}; });
}
