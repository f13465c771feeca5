#pragma once
// Reading the number width back from a stored step-number format.

#include <string>

// The first number written in the text ("-" and digits from the first such character on); 0 when there
// is none, 4 when what was collected is no valid integer (a lone "-", a "-" after digits).
int FirstNumberIn(const std::string& text);
