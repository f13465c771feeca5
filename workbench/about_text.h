#pragma once
// The about box's text: name and version, authors, terms of use, a quick manual, the history of
// versions and the planned features, one line each.

#include <span>

std::span<const char* const> AboutText();
