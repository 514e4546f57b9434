#include "book/bmpreader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <filesystem>
#include <fstream>
#include <string>

#include "book/pagestyle.h"

namespace ks {
namespace {

void put32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
}

// A BMP as Windows writes it: `bits` 24 or 32, rows padded to four bytes, bottom-up unless
// `topDown`; pixel (x, y) is (10x, 20y, x + y).
std::string bmp(int width, int height, int bits, bool topDown = false) {
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  std::string b(54 + stride * height, '\0');
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, static_cast<uint32_t>(b.size()));
  put32(b, 10, 54);
  put32(b, 14, 40);
  put32(b, 18, static_cast<uint32_t>(width));
  put32(b, 22, static_cast<uint32_t>(topDown ? -height : height));
  b[26] = 1;
  b[28] = static_cast<char>(bits);
  for (int y = 0; y < height; ++y) {
    const size_t row = 54 + stride * (topDown ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const size_t at = row + static_cast<size_t>(x) * (bits / 8);
      b[at] = static_cast<char>(x + y);       // blue
      b[at + 1] = static_cast<char>(20 * y);  // green
      b[at + 2] = static_cast<char>(10 * x);  // red
    }
  }
  return b;
}

QImage qtRead(const std::string& bytes) {
  return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                          static_cast<int>(bytes.size()), "BMP")
      .convertToFormat(QImage::Format_RGB32);
}

TEST(BmpReader, ReadsPlainPicturesAsQtDoes) {
  for (int bits : {24, 32}) {
    for (bool topDown : {false, true}) {
      // An odd width pads every 24-bit row.
      const std::string file = bmp(5, 3, bits, topDown);
      const QImage ours = readPlainBmp(file);
      ASSERT_FALSE(ours.isNull()) << bits << " " << topDown;
      EXPECT_EQ(ours.size(), QSize(5, 3));
      EXPECT_EQ(ours.pixel(4, 2), qRgb(40, 40, 6));
      EXPECT_EQ(ours, qtRead(file)) << bits << " bits, top-down " << topDown;
    }
  }
}

TEST(BmpReader, LeavesOtherKindsAndBrokenFilesToQt) {
  const std::string good = bmp(4, 4, 24);
  EXPECT_TRUE(readPlainBmp(good.substr(0, good.size() - 1)).isNull());  // a row cut short
  EXPECT_TRUE(readPlainBmp(good.substr(0, 40)).isNull());               // headers cut short
  EXPECT_TRUE(readPlainBmp("").isNull());
  std::string rle = good;
  rle[30] = 1;  // run-length compressed
  EXPECT_TRUE(readPlainBmp(rle).isNull());
  std::string huge = good;
  put32(huge, 18, 0x7fffffff);  // a width no file holds
  EXPECT_TRUE(readPlainBmp(huge).isNull());
  std::string offsetPastEnd = good;
  put32(offsetPastEnd, 10, 0xfffffff0);
  EXPECT_TRUE(readPlainBmp(offsetPastEnd).isNull());
}

// The installation's picture reader still takes every BMP Qt reads, a palette one too.
TEST(BmpReader, PictureFilesOfOtherKindsStillLoad) {
  QImage palette(6, 2, QImage::Format_Indexed8);
  palette.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
  palette.fill(1);
  const auto dir = std::filesystem::temp_directory_path() / "ks_bmpreader_test";
  std::filesystem::create_directories(dir);
  const auto file = dir / "palette.bmp";
  ASSERT_TRUE(palette.save(QString::fromStdString(file.string()), "BMP"));
  const QImage read = readPicture(file);
  ASSERT_FALSE(read.isNull());
  EXPECT_EQ(read.pixel(5, 1), qRgb(0, 0, 255));
  std::ofstream(dir / "plain.bmp", std::ios::binary) << bmp(3, 3, 24);
  EXPECT_EQ(readPicture(dir / "plain.bmp").pixel(2, 2), qRgb(20, 40, 4));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace ks
