#pragma once
// The frame of a benchmark under the program's windows: a Qt application (offscreen) and the
// program's application object, a scratch folder removed afterwards, and an exception's message
// printed.

#include <functional>
#include <string>

// Runs body with a new scratch folder named from the prefix; 0, or 1 when an exception ended it.
int RunWindowBenchmark(const std::string& prefix, int argc, char** argv,
                       const std::function<void(const std::string& folder)>& body);
