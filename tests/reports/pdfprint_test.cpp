#include "reports/pdfprint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>

#include "pdftools.h"
#include "platform/sharedfile.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::TempDir;

// A white page image with a black block at pixels [x0, x1) x [y0, y1).
GrayImage pageWithBlock(int w, int h, int x0, int y0, int x1, int y1) {
  GrayImage img{w, h, std::vector<unsigned char>(static_cast<size_t>(w * h), 255)};
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) img.Pixels[static_cast<size_t>(y * w + x)] = 0;
  return img;
}

class PdfWriter : public ::testing::Test {
 protected:
  // Writes `pages` pages of 200 x 100 points, each a 400 x 200 image at 144 ppi with a block
  // whose place moves with the page number.
  std::filesystem::path write(int pages, bool compress, const std::string& title = "Report") {
    pdf_.FileName = (dir_ / "out.pdf").string();
    pdf_.Title = title;
    pdf_.Compress = compress;
    pdf_.PageWidth = 200;
    pdf_.PageHeight = 100;
    pdf_.ImagePpiX = pdf_.ImagePpiY = 144;
    pdf_.BeginDoc();
    for (int p = 0; p < pages; ++p) {
      if (p > 0) pdf_.NewPage();
      pdf_.AddImage(0, 0, pageWithBlock(400, 200, 100 + 40 * p, 50, 140 + 40 * p, 70));
    }
    EXPECT_TRUE(pdf_.EndDoc()) << pdf_.ErrorText();
    return dir_ / "out.pdf";
  }
  static void expectClean(const std::filesystem::path& file) {
    int status = -1;
    const std::string out = test::run("qpdf --check '" + file.string() + "'", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("No syntax or stream encoding errors"), std::string::npos) << out;
  }

  TempDir dir_;
  FakeClock clock_{45292.5};
  TPDFPrint pdf_{clock_};
};

TEST_F(PdfWriter, OnePageHasTheObjectsInOrderAndRendersTheBlockWhereItWasDrawn) {
  const auto file = write(1, true);
  const std::string& b = pdf_.Bytes();
  EXPECT_EQ(b.rfind("%PDF-1.2\r\n", 0), 0u);
  EXPECT_NE(b.find("/CreationDate (D:20240101120000)"), std::string::npos);
  // 1 info, 2 content, 3 its length, 4 outlines, 5 font, 6 pages, 7 resources, 8 image,
  // 9 page, 10 catalog.
  for (auto [n, what] : std::vector<std::pair<int, std::string>>{{2, "<< /Length 3 0 R"},
                                                                 {4, "<< /Type /Outlines"},
                                                                 {5, "<< /Type /Font"},
                                                                 {6, "<< /Type /Pages"},
                                                                 {7, "<< /ProcSet"},
                                                                 {8, "<< /Type /XObject"},
                                                                 {9, "<< /Type /Page\r"},
                                                                 {10, "<< /Type /Catalog"}}) {
    EXPECT_NE(b.find(std::to_string(n) + " 0 obj\r\n" + what), std::string::npos) << n;
  }
  EXPECT_NE(b.find("/Kids [\r\n9 0 R\r\n]"), std::string::npos);
  EXPECT_NE(b.find("<< /Size 11\r\n/Root 10 0 R\r\n/Info 1 0 R"), std::string::npos);
  expectClean(file);

  // 72 dpi: one pixel per point; the block covers points 50-70 across and 25-35 down.
  const test::Rendered page = test::renderPage(file, 1, 72);
  ASSERT_EQ(page.Width, 200);
  ASSERT_EQ(page.Height, 100);
  EXPECT_LT(page.darkest(55, 27, 65, 33), 40);
  EXPECT_GT(page.darkest(0, 0, 45, 100), 215);
  EXPECT_GT(page.darkest(75, 0, 200, 100), 215);
}

TEST_F(PdfWriter, ManyPagesUncompressedKeepEveryImageAndAnExactCrossReference) {
  // More pages than the old 500-image limit would allow is slow under the sanitizers; the
  // lists have no limit, so three pages show the numbering and the offsets.
  const auto file = write(3, false);
  const std::string& b = pdf_.Bytes();
  EXPECT_EQ(b.find("FlateDecode"), std::string::npos);
  EXPECT_NE(b.find("/Length 80000\r\n"), std::string::npos);  // raw pixels
  expectClean(file);
  EXPECT_EQ(test::pdfPageCount(file), 3);
  EXPECT_LT(test::renderPage(file, 3, 72).darkest(95, 27, 105, 33), 40);

  // Every cross-reference entry is 20 bytes and points at its object.
  const size_t xref = b.rfind("\r\nxref\r\n") + 2;
  const std::string table = b.substr(xref);
  std::smatch m;
  std::string rest = table;
  int n = 0;
  for (std::regex entry("(\\d{10}) 00000 n\r\n"); std::regex_search(rest, m, entry);
       rest = m.suffix()) {
    ++n;
    const size_t offset = std::stoul(m[1]);
    EXPECT_EQ(b.compare(offset, std::to_string(n).size() + 6, std::to_string(n) + " 0 obj"), 0)
        << n;
  }
  EXPECT_EQ(n,
            18);  // info, 3 x (content, length), outlines, font, pages, resources, 3 + 3, catalog
  EXPECT_NE(table.find("startxref\r\n" + std::to_string(xref) + "\r\n%%EOF"), std::string::npos);
}

TEST_F(PdfWriter, TitlesWithParenthesesBackslashesAndAccentsSurvive) {
  EXPECT_EQ(pdfTextString("a(b)c\\"), "(a\\(b\\)c\\\\)");
  EXPECT_EQ(pdfTextString("Ren\xE9\x80"), "<FEFF00520065006E00E920AC>");
  const auto file = write(1, true, "O'Brien (2nd) \\ test");
  expectClean(file);
  EXPECT_NE(test::run("pdfinfo '" + file.string() + "'").find("O'Brien (2nd) \\ test"),
            std::string::npos);
}

TEST_F(PdfWriter, AFileThatCannotBeWrittenIsReportedAndLeavesNothing) {
  pdf_.FileName = (dir_ / "missing" / "out.pdf").string();
  pdf_.BeginDoc();
  pdf_.AddImage(0, 0, pageWithBlock(8, 8, 0, 0, 1, 1));
  EXPECT_FALSE(pdf_.EndDoc());
  EXPECT_FALSE(pdf_.ErrorText().empty());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing" / "out.pdf"));
}

TEST_F(PdfWriter, BlackAndWhitePicturesTakeOneBitAPixelAndShowTheSame) {
  pdf_.ImageBits = 1;
  const auto file = write(2, false);
  const std::string& b = pdf_.Bytes();
  EXPECT_NE(b.find("/BitsPerComponent 1\r\n"), std::string::npos);
  EXPECT_NE(b.find("/Length 10000\r\n"), std::string::npos);  // 400 x 200 bits
  expectClean(file);
  const test::Rendered page = test::renderPage(file, 2, 72);
  EXPECT_LT(page.darkest(75, 27, 85, 33), 40);
  EXPECT_GT(page.darkest(0, 0, 65, 100), 215);
  EXPECT_GT(page.darkest(95, 0, 200, 100), 215);
}

// Words laid over the picture: invisible, found by a text extractor in reading order with the
// characters 1252 has beyond Latin-1, and boxed where they were drawn.
TEST_F(PdfWriter, InvisibleWordsAreFoundInReadingOrderWhereTheyWereDrawn) {
  pdf_.FileName = (dir_ / "words.pdf").string();
  pdf_.PageWidth = 200;
  pdf_.PageHeight = 100;
  pdf_.ImagePpiX = pdf_.ImagePpiY = 144;
  pdf_.BeginDoc();
  pdf_.AddImage(0, 0, pageWithBlock(400, 200, 0, 0, 0, 0));
  pdf_.AddText(20, 30, 100, 10,
               "\x8A\xE1rka \x8C"
               "berg (2nd) \\ 5\x80");
  pdf_.AddText(140, 30, 40, 10, "Page 1");
  pdf_.AddText(20, 60, 40, 10, "second");
  pdf_.NewPage();
  pdf_.AddText(20, 30, 50, 10, "third");
  ASSERT_TRUE(pdf_.EndDoc()) << pdf_.ErrorText();
  const auto file = dir_ / "words.pdf";
  expectClean(file);
  const std::string text = test::run("pdftotext -enc UTF-8 '" + file.string() + "' -");
  const size_t name = text.find(
      "\xC5\xA0\xC3\xA1rka \xC5\x92"
      "berg (2nd) \\ 5\xE2\x82\xAC");
  ASSERT_NE(name, std::string::npos) << text;
  EXPECT_LT(name, text.find("second"));
  EXPECT_LT(text.find("second"), text.find("third"));
  EXPECT_LT(text.find("Page 1"), text.find("third")) << "on the first page";
  // Nothing of it shows.
  EXPECT_GT(test::renderPage(file, 1, 72).darkest(0, 0, 200, 100), 215);
  // The word's box spans the width it was drawn with.
  const std::string boxes = test::run("pdftotext -bbox -f 1 -l 1 '" + file.string() + "' -");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(
      boxes, m, std::regex("xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"[^>]*>second<")))
      << boxes;
  EXPECT_NEAR(std::stod(m[1]), 20, 1);
  EXPECT_NEAR(std::stod(m[2]), 60, 1);
}

TEST_F(PdfWriter, AFileThatCannotBeReplacedKeepsItsContentAndTheCauseIsNamed) {
  const auto file = dir_ / "out.pdf";
  test::writeFile(file, "old");
  // Another program holds the file and lets nobody write it.
  SharedFile holder = SharedFile::open(file, FileAccess::ReadWrite, FileShare{false, false}, false);
  ASSERT_TRUE(holder.isOpen());
  pdf_.FileName = file;
  pdf_.BeginDoc();
  pdf_.AddImage(0, 0, pageWithBlock(8, 8, 0, 0, 1, 1));
  EXPECT_FALSE(pdf_.EndDoc());
  EXPECT_FALSE(pdf_.ErrorText().empty());
  holder = SharedFile();
  std::string content;
  ASSERT_TRUE(readWholeFile(file, content));
  EXPECT_EQ(content, "old");

  pdf_.FileName = dir_ / "missing" / "out.pdf";
  pdf_.BeginDoc();
  EXPECT_FALSE(pdf_.EndDoc());
  EXPECT_EQ(pdf_.ErrorText(), std::strerror(ENOENT));
}

}  // namespace
}  // namespace ks
