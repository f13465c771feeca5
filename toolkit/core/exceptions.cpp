#include "toolkit/core/exceptions.h"

#include "toolkit/core/messages.h"

EAbort::EAbort() : Exception(SOperationAborted) {}

void Abort() {
  throw EAbort();
}
