#pragma once
// Takes the place of the desktop for the file URLs the program asks it to open, and keeps them.

#include <vector>

#include <QObject>
#include <QUrl>

class TOpenedUrls : public QObject {
  Q_OBJECT

 public:
  // Receives the "file" URLs from now on, until it goes.
  TOpenedUrls();
  ~TOpenedUrls() override;

  std::vector<QUrl> Urls;

 public slots:
  void Open(const QUrl& url) { Urls.push_back(url); }
};
