// Names that are not UTF-8: chosen in Qt's file dialogs they come back as the folder holds them, and
// the desktop is asked to open the file itself.
#include "toolkit/ui/local_file_names.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include "tests/support/opened_urls.h"
#include "tests/support/test_files.h"
#include "toolkit/ui/qt_dialogs.h"

namespace {

// The name as Qt carries it: each byte outside UTF-8 a replacement character.
QString AsQtReadsIt(const std::string& bytes) {
  return QFile::decodeName(QByteArray::fromStdString(bytes));
}

class LocalFileNamesTest : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(Night);
    for (const std::string& file : {Night + "/caf\xE9.jpg", Night + "/plain.jpg", Temp.File("x\xE8.bmp"),
                                    Temp.File("x\xE9.bmp"), Temp.File("sure \xEF\xBF\xBD.bmp")})
      WriteWholeFile(file, {});
  }

  TempDir Temp;
  const std::string Night = Temp.File(
      "nuit de d\xE9"
      "cembre");
};

TEST_F(LocalFileNamesTest, NamesComeBackAsTheFolderHoldsThem) {
  for (const std::string& name : {Night, Night + "/caf\xE9.jpg", Night + "/plain.jpg",
                                  Night + "/new.bmp",  // a name to save under: its folder found
                                  Temp.File("sure \xEF\xBF\xBD.bmp")})
    EXPECT_EQ(LocalFileName(AsQtReadsIt(name)), name) << name;
  // Two entries that Qt reads alike: neither is guessed.
  EXPECT_EQ(LocalFileName(AsQtReadsIt(Temp.File("x\xE9.bmp"))), Temp.File("x\xEF\xBF\xBD.bmp"));
  EXPECT_EQ(LocalFileName(QString::fromUtf8("/tmp/\xC3\xA9t\xC3\xA9.jpg")), "/tmp/\xC3\xA9t\xC3\xA9.jpg");
}

TEST_F(LocalFileNamesTest, TheDesktopIsAskedToOpenTheFileItself) {
  const std::string photo = Night + "/caf\xE9.jpg";
  const QUrl url = LocalFileUrl(photo);
  EXPECT_TRUE(url.isValid());
  EXPECT_TRUE(url.toEncoded().endsWith("/nuit%20de%20d%E9cembre/caf%E9.jpg"));
  EXPECT_EQ(QByteArray::fromPercentEncoding(url.toEncoded().mid(7)).toStdString(), photo);
  EXPECT_EQ(LocalFileUrl("/tmp/a b.jpg").toLocalFile(), "/tmp/a b.jpg");

  TOpenedUrls desktop;
  TQtDialogs dialogs;
  EXPECT_EQ(dialogs.OpenDocument(photo, Night), 42);
  ASSERT_EQ(desktop.Urls.size(), 1u);
  EXPECT_EQ(desktop.Urls[0], url);
  EXPECT_EQ(dialogs.OpenDocument(Night + "/gone\xE9.jpg", Night), 2);  // the file not found
  EXPECT_EQ(desktop.Urls.size(), 1u);
}

// Answers the next Qt file dialog by typing the name, as a person would.
void TypeInNextFileDialog(const QString& name) {
  QTimer::singleShot(0, [name] {
    QPointer<QFileDialog> dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    QTimer::singleShot(0, [dialog] {
      if (dialog) dialog->reject();
    });
    static_cast<QDialog*>(dialog)->accept();
  });
}

// Qt's own dialogs, opened in a folder whose name is not UTF-8 (which Qt cannot open by that name).
TEST_F(LocalFileNamesTest, QtsDialogsOpenInAFolderThatIsNotUtf8AndGiveItsBytesBack) {
  TQtDialogs dialogs;
  TFileDialogRequest save;
  save.InitialDir = Night;
  TypeInNextFileDialog("result.bmp");
  ASSERT_TRUE(dialogs.SaveFile(save));
  EXPECT_EQ(save.FileName, Night + "/result.bmp");

  TFileDialogRequest open;
  open.FileName = Night + "/caf\xE9.jpg";  // offered by its full name: the folder is the file's
  TypeInNextFileDialog("plain.jpg");
  ASSERT_TRUE(dialogs.OpenFile(open));
  EXPECT_EQ(open.Files, std::vector<std::string>{Night + "/plain.jpg"});
  // The link the dialogs went through is gone with them, and the folder's files stay.
  EXPECT_TRUE(std::filesystem::exists(Night + "/caf\xE9.jpg"));
  EXPECT_TRUE(std::filesystem::exists(Night + "/plain.jpg"));
}

}  // namespace
