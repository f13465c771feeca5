#include "tests/support/opened_urls.h"

#include <QDesktopServices>

TOpenedUrls::TOpenedUrls() {
  QDesktopServices::setUrlHandler("file", this, "Open");
}

TOpenedUrls::~TOpenedUrls() {
  QDesktopServices::unsetUrlHandler("file");
}

// The header declares a QObject: its meta-object code is made from it here.
#include "moc_opened_urls.cpp"
