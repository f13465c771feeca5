#pragma once
// The start-up of fuzz targets whose drawing needs a graphical application (text records need fonts):
// included once by each such target, which it gives libFuzzer's initialisation.

#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(*argc, *argv);
  return 0;
}
