#pragma once
// File names between the program and Qt. The program keeps a name as the bytes its folder holds; Qt
// reads names as UTF-8, carries a byte outside it only as a replacement character, and leaves such
// names out of its folder listings. A name handed to Qt, or chosen in one of its dialogs, is therefore
// taken back to its own bytes here.

#include <memory>
#include <string>

#include <QString>
#include <QUrl>

class QTemporaryDir;

// The bytes of the file that a name from Qt stands for. A part of the name that Qt could only carry
// with replacement characters, and that names nothing as it stands, is the one entry of its folder
// that Qt reads the same way; a part no entry matches (a new name to save under) stays as Qt gives it.
std::string LocalFileName(const QString& name);

// The file's URL for the desktop to open: every byte outside UTF-8 is percent-encoded as itself.
QUrl LocalFileUrl(const std::string& fileName);

// A folder as a file dialog can open it. A folder whose name is not UTF-8 is reached through a link
// whose name is the folder's as the program shows it ("\xHH" for each such byte), made in a private
// temporary folder for as long as this object lives; names chosen under the link come back under the
// folder's own name.
class TDialogFolder {
 public:
  explicit TDialogFolder(const std::string& folder);
  ~TDialogFolder();
  TDialogFolder(const TDialogFolder&) = delete;
  TDialogFolder& operator=(const TDialogFolder&) = delete;

  // The folder for Qt; empty for none.
  const QString& Shown() const { return FShown; }
  // The bytes of a name chosen in the dialog.
  std::string LocalFileName(const QString& name) const;

 private:
  std::string FFolder;
  QString FShown;
  std::unique_ptr<QTemporaryDir> FLinks;
};
