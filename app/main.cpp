// Start-up: the picture-format library registers its formats, the application object starts, the
// twelve windows are made and take the active language, and the event loop runs until the main window
// closes; then everything is taken down in reverse.
#include "picture_formats/format_list.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/guarded.h"
#include "translation/program_forms.h"
#include "translation/ulng.h"

int main(int argc, char** argv) {
  InitializePictureFormats();
  Application->Initialize(argc, argv);
  Application->SetTitle("Orvanta");
  CreateProgramForms();
  // A language file that cannot be applied is reported, and the program starts in its own words.
  Guarded(ApplyActiveLanguage);
  Application->Run();
  Application->Finalize();
  FinalizePictureFormats();
  return 0;
}
