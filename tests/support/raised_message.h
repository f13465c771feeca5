#pragma once
// The message of an expected exception, for tests that check the text a failure reports.

#include <string>

// The message of the E that f raises; "" when it raises none.
template <class E, class F>
std::string RaisedMessage(F f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return "";
}
