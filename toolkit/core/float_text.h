#pragma once
// Locale-independent text of floating-point numbers, shared by Format and FloatToStr. The decimal
// separator is always "." and the thousands separator ",". NaN and infinities give "NAN", "INF", "-INF".
// Digits come from the value's first 18 significant digits, rounded half away from zero.

#include <string>

// "-ddd.ddd" with the given number of decimals; "," between groups of three integer digits when asked.
// A value that rounds to zero carries no minus sign.
std::string FloatToFixed(double value, int decimals, bool thousands);

// "-d.ddd...E+ddd": digits significant digits in all (at least 1), exponent of at least three digits.
std::string FloatToScientific(double value, int digits);

// Shortest of fixed or scientific with digits significant digits, trailing zeros removed: fixed when
// the integer digits fit in digits and |value| >= 0.00001, else "1.5E20" / "1E-10".
std::string FloatToGeneral(double value, int digits);
