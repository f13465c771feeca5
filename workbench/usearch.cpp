#include "workbench/usearch.h"

TFormSearch* FormSearch = nullptr;

TFormSearch::TFormSearch(TComponent* owner) : TForm(owner) {
  SetName("FormSearch");
  SetCaption("Search Parameters:");
}
