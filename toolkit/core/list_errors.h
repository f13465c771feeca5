#pragma once
// The list classes' errors (for the toolkit's own list sources only).

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"

namespace list_errors {

[[noreturn]] inline void IndexError(int index) {
  throw EListError(Format(SListIndexError, {index}));
}
[[noreturn]] inline void SortedListError() {
  throw EListError(SSortedListError);
}
[[noreturn]] inline void DuplicateError() {
  throw EListError(SDuplicateString);
}

}  // namespace list_errors
