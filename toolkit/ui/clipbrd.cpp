#include "toolkit/ui/clipbrd.h"

#include <QClipboard>
#include <QGuiApplication>

std::string TClipboard::AsText() const {
  return QGuiApplication::clipboard()->text().toStdString();
}

void TClipboard::SetAsText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}
