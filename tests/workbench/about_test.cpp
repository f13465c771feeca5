// The about box: its text, printing it to a PDF file through the dialogs seam, closing.
#include <zlib.h>

#include <QPrinter>
#include <map>
#include <regex>

#include "tests/support/scripted_dialogs_fixture.h"
#include "tests/support/test_files.h"
#include "toolkit/core/string_list.h"
#include "toolkit/ui/qt_dialogs.h"
#include "workbench/about_text.h"
#include "workbench/uabout.h"

namespace {

// What a PDF file made by Qt shows: its page count and its text, one line per text run, read through
// the font's character map.
struct TPdfContent {
  int Pages = 0;
  std::string Text;
};

std::string Inflated(const std::string& data) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return {};
  std::string out;
  char buffer[16384];
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof(buffer);
    status = inflate(&stream, Z_NO_FLUSH);
    out.append(buffer, sizeof(buffer) - stream.avail_out);
  }
  inflateEnd(&stream);
  return status == Z_STREAM_END ? out : data;
}

std::vector<unsigned> HexCodes(const std::string& hex) {
  std::vector<unsigned> codes;
  for (size_t i = 0; i + 4 <= hex.size(); i += 4) codes.push_back(std::stoul(hex.substr(i, 4), nullptr, 16));
  return codes;
}

TPdfContent ReadPdf(const std::string& fileName) {
  const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
  const std::string pdf(bytes.begin(), bytes.end());
  TPdfContent content;
  for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
    if (pdf[at + 11] != 's') ++content.Pages;
  std::vector<std::string> streams;
  for (size_t at = pdf.find("stream\n"); at != std::string::npos; at = pdf.find("stream\n", at + 1)) {
    if (at >= 3 && pdf.compare(at - 3, 3, "end") == 0) continue;
    const size_t end = pdf.find("endstream", at);
    streams.push_back(Inflated(pdf.substr(at + 7, end - at - 7)));
  }
  std::map<unsigned, unsigned> unicode;  // glyph -> character
  const std::regex range("<([0-9A-F]{4})> <([0-9A-F]{4})> \\[([^\\]]*)\\]");
  for (const std::string& stream : streams)
    for (auto it = std::sregex_iterator(stream.begin(), stream.end(), range); it != std::sregex_iterator();
         ++it) {
      unsigned glyph = std::stoul((*it)[1], nullptr, 16);
      std::string targets = (*it)[3];
      std::erase_if(targets, [](char c) { return c == '<' || c == '>' || c == ' '; });
      for (unsigned code : HexCodes(targets)) unicode[glyph++] = code;
    }
  const std::regex shown("<([0-9A-F]*)> Tj|ET");
  for (const std::string& stream : streams)
    for (auto it = std::sregex_iterator(stream.begin(), stream.end(), shown); it != std::sregex_iterator();
         ++it) {
      if ((*it)[0] == "ET") {
        content.Text += '\n';
        continue;
      }
      for (unsigned glyph : HexCodes((*it)[1])) {
        const unsigned code = unicode.count(glyph) ? unicode[glyph] : '?';
        // Ligatures ("fi") come apart again.
        content.Text +=
            QString(QChar(code == '\t' ? ' ' : code)).normalized(QString::NormalizationForm_KC).toStdString();
      }
    }
  return content;
}

// Runs of blanks and line breaks as one blank.
std::string Collapsed(const std::string& text) {
  std::string out;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\n';
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out += blank ? ' ' : c;
  }
  return out;
}

// The scripted seam with a printer that writes PDF files.
class PdfPrinterDialogs : public TScriptedDialogs {
 public:
  explicit PdfPrinterDialogs(std::string fileName) : FFileName(std::move(fileName)) {}
  void PrintLines(const std::vector<std::string>& lines) override {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(FFileName));
    PrintLinesOn(printer, lines);
    ++Jobs;
  }
  int Jobs = 0;

 private:
  std::string FFileName;
};

class AboutBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto dialogs = std::make_unique<PdfPrinterDialogs>(Pdf);
    Printer = dialogs.get();
    Previous = InstallDialogs(std::move(dialogs));
  }
  void TearDown() override { InstallDialogs(std::move(Previous)); }

  TempDir Temp;
  std::string Pdf = Temp.File("about.pdf");
  PdfPrinterDialogs* Printer = nullptr;
  std::unique_ptr<TDialogs> Previous;
  std::unique_ptr<TFormAbout, TFormDeleter> About = NewForm<TFormAbout>(nullptr);
};

TEST_F(AboutBoxTest, PrintingTheTextMakesPagesHoldingEveryLineInOrder) {
  ASSERT_EQ(About->Memo1->Lines().Count(), static_cast<int>(AboutText().size()));
  EXPECT_EQ(About->Memo1->Lines()[0], "Orvanta - version 2.1g - 2014/02/18");
  About->SpeedButton2->click();
  ASSERT_EQ(Printer->Jobs, 1);
  const TPdfContent pdf = ReadPdf(Pdf);
  EXPECT_GE(pdf.Pages, 1);
  const std::string printed = Collapsed(pdf.Text);
  size_t at = 0;
  for (const char* line : AboutText()) {
    if (!*line) continue;
    const size_t found = printed.find(Collapsed(line), at);
    ASSERT_NE(found, std::string::npos) << "not printed in order: " << line;
    at = found;
  }

  // A longer text goes on over further pages; an empty one still makes its (blank) page.
  std::string twice = About->Memo1->Text();
  About->Memo1->SetText(twice + twice + twice);
  About->SpeedButton2->click();
  EXPECT_GT(ReadPdf(Pdf).Pages, pdf.Pages);
  About->Memo1->Clear();
  About->SpeedButton2->click();
  EXPECT_EQ(ReadPdf(Pdf).Pages, 1);
  EXPECT_EQ(Collapsed(ReadPdf(Pdf).Text), "");
}

TEST(AboutBoxWithoutPrinter, APrinterErrorReachesTheCallerAndCloseEndsTheModalShow) {
  TScriptedDialogsScope scope;
  auto about = NewForm<TFormAbout>(nullptr);
  scope.Dialogs().AnswerPrint(true);
  EXPECT_THROW(about->SpeedButton2Click(about.get()), EPrinterError);
  EXPECT_EQ(scope.Dialogs().Asked().back().Lines.size(), AboutText().size());
  scope.Dialogs().AnswerShowModal(
      "FormAbout", mrNone, [](TCustomForm& form) { static_cast<TFormAbout&>(form).SpeedButton1->click(); });
  EXPECT_EQ(about->ShowModal(), mrNone);
  EXPECT_FALSE(about->Visible());
  scope.ExpectAllAnswered();
}

}  // namespace
