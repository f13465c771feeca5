// Start-up: the picture-format library registers its formats, the application object starts, the
// twelve windows are made, and the event loop runs until the main window closes; then everything is
// taken down in reverse.
#include "picture_formats/format_list.h"
#include "toolkit/ui/application.h"
#include "translation/program_forms.h"

int main(int argc, char** argv) {
  InitializePictureFormats();
  Application->Initialize(argc, argv);
  Application->SetTitle("Orvanta");
  CreateProgramForms();
  Application->Run();
  Application->Finalize();
  FinalizePictureFormats();
  return 0;
}
