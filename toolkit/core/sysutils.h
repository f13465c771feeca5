#pragma once
// The toolkit's system utilities in one include: text helpers, number conversions, integer helpers,
// file names, files and folders, clock readings, Format and the exception family.

#include "toolkit/core/conversions.h"
#include "toolkit/core/date_time.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/numbers.h"
#include "toolkit/core/string_utils.h"
