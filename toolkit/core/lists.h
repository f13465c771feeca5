#pragma once
// The toolkit's list classes: TList (pointers), TStrings and TStringList (strings with objects).

#include "toolkit/core/list.h"
#include "toolkit/core/string_list.h"
