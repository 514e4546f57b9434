#include "book/bmpreader.h"

#include <cstdint>
#include <cstdlib>

namespace ks {
namespace {

uint32_t le32(std::string_view b, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(b.data() + at);
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t le16(std::string_view b, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(b.data() + at);
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

constexpr size_t kFileHeader = 14;
constexpr uint32_t kInfoHeader = 40;
constexpr int32_t kMaxSide = 16384;

}  // namespace

QImage readPlainBmp(std::string_view file) {
  if (file.size() < kFileHeader + kInfoHeader || file.substr(0, 2) != "BM") return {};
  const uint32_t offset = le32(file, 10);
  const uint32_t infoSize = le32(file, 14);
  const auto width = static_cast<int32_t>(le32(file, 18));
  const auto height = static_cast<int32_t>(le32(file, 22));
  const uint16_t planes = le16(file, 26);
  const uint16_t bits = le16(file, 28);
  const uint32_t compression = le32(file, 30);
  if (infoSize < kInfoHeader || planes != 1 || compression != 0 || (bits != 24 && bits != 32))
    return {};
  if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
    return {};
  const bool topDown = height < 0;
  const int rows = std::abs(height);
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  if (offset < kFileHeader + infoSize || offset > file.size() ||
      (file.size() - offset) / stride < static_cast<size_t>(rows)) {
    return {};
  }
  QImage image(width, rows, QImage::Format_RGB32);
  if (image.isNull()) return {};
  const size_t step = bits / 8;
  for (int y = 0; y < rows; ++y) {
    const auto* src = reinterpret_cast<const unsigned char*>(file.data() + offset +
                                                             static_cast<size_t>(y) * stride);
    auto* dst = reinterpret_cast<QRgb*>(image.scanLine(topDown ? y : rows - 1 - y));
    for (int x = 0; x < width; ++x, src += step) dst[x] = qRgb(src[2], src[1], src[0]);
  }
  return image;
}

}  // namespace ks
