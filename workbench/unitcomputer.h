#pragma once
// The computer's name for the status bar.

#include <string>

// The computer's name, or the empty string when it cannot be read.
std::string ComputerName();
