#pragma once
// File-dialog filters: the program writes them as "Description|*.a;*.b|Description 2|*.c"; Qt wants
// one "Description (*.a *.b)" entry per filter.

#include <string>
#include <vector>

struct TFilterEntry {
  std::string Description;
  std::vector<std::string> Patterns;
};

// Splits the filter text into its entries; a trailing description without patterns is dropped.
std::vector<TFilterEntry> ParseFilter(const std::string& filter);
// The Qt name filters of the entries, in order. A description that already ends with the patterns in
// parentheses keeps them once.
std::vector<std::string> QtNameFilters(const std::string& filter);
// The patterns of the 1-based filter index (the first entry for an index out of range).
std::vector<std::string> FilterPatterns(const std::string& filter, int filterIndex);
