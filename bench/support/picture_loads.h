#pragma once
// What the reader benchmarks share: a load timed as the best of a few, and what became of it, printed
// on one line.

#include <cstddef>
#include <functional>
#include <string>

#include "toolkit/graphics/graphic.h"

// Runs `load` (which loads a picture and returns it) `repetitions` times and prints one line: the name,
// the file's size, the best time and the outcome: "loaded W x H" (with ", data ended early" when the
// reader kept a picture whose data ended early) or "refused: " and the failure's message.
void PrintBestLoad(const std::string& name, size_t fileBytes, int repetitions,
                   const std::function<const TGraphic&()>& load);
