#pragma once
// Numbered output names: the width of step numbers, stored as a format "%s%<w>.<w>d%s", read back
// from it and grown to the number of digits of the list's length.

#include <string>

// Characters of n written with "%d" (a minus sign counts).
int DigitCount(int n);

// The first number written in the text ("-" and digits from the first such character on); 0 when there
// is none, 4 when what was collected is no valid integer (a lone "-", a "-" after digits).
int FirstNumberIn(const std::string& text);

// The number format for a width: with autoAdapt the width grows to digits; a width of 1 or more gives
// "%s%<w>.<w>d%s", 0 the unpadded "%s%d%s", a negative width the default "%s%4.4d%s".
std::string BuildNumFormat(int width, int digits, bool autoAdapt);

// Counters from this value on (and negative ones) start again at 0.
inline constexpr int StepCounterLimit = 0x3FFFFFFF;
