#pragma once
// Helpers the toolkit core tests share.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/raised_message.h"
#include "toolkit/core/string_list.h"

using Texts = std::vector<std::string>;

inline std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// A list's lines, to compare whole lists at once.
inline Texts Lines(const TStrings& list) {
  Texts lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
  return lines;
}

// Checks function(input) == expected for each {input, expected} pair.
template <class F>
void ExpectEach(F function, std::initializer_list<std::pair<const char*, const char*>> cases) {
  for (const auto& [input, expected] : cases) EXPECT_EQ(function(input), expected) << "input: " << input;
}
