#pragma once
// The system clipboard's text.

#include <string>

class TClipboard {
 public:
  std::string AsText() const;
  void SetAsText(const std::string& text);
};

TClipboard& Clipboard();
