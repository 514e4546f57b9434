#include "reports/pdfprint.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/sharedfile.h"
#include "text/cp1252.h"
#include "text/dates.h"

namespace ks {
namespace {

constexpr const char* kEol = "\r\n";

std::string num(int64_t n) {
  return std::to_string(n);
}

std::string deflate(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK) {
    return {};
  }
  out.resize(size);
  return out;
}

// A number for an operator: at most two decimals, no trailing zeros.
std::string dec(double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", value);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

// A string operand for Tj: delimiters escaped, bytes outside printable ASCII as octal.
std::string textOperand(const std::string& text1252) {
  std::string out = "(";
  char buf[8];
  for (unsigned char c : text1252) {
    if (c == '(' || c == ')' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + ")";
}

// The font's codes are 1252 bytes; this map tells readers which characters they are, so a name
// with "Š" or "€" is found and copied as written.
std::string toUnicodeMap() {
  std::vector<std::string> entries;
  char buf[32];
  for (int c = 0x20; c <= 0xFF; ++c) {
    const char32_t cp = cp1252ToUnicode(static_cast<unsigned char>(c));
    if (cp == 0 || cp > 0xFFFF) continue;
    std::snprintf(buf, sizeof buf, "<%02X> <%04X>", c, static_cast<unsigned>(cp));
    entries.push_back(buf);
  }
  std::string out =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
  // At most 100 entries to a block.
  for (size_t i = 0; i < entries.size(); i += 100) {
    const size_t n = std::min<size_t>(100, entries.size() - i);
    out += std::to_string(n) + " beginbfchar\n";
    for (size_t k = i; k < i + n; ++k) out += entries[k] + "\n";
    out += "endbfchar\n";
  }
  return out + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

// The picture's pixels as the stream wants them: bytes of grey, or rows of bits (1 white)
// padded to whole bytes.
std::string imageBits(const GrayImage& image, int bits) {
  if (bits != 1) return std::string(image.Pixels.begin(), image.Pixels.end());
  const size_t rowBytes = (static_cast<size_t>(image.Width) + 7) / 8;
  std::string out(rowBytes * static_cast<size_t>(image.Height), '\0');
  const unsigned char* in = image.Pixels.data();
  for (size_t y = 0; y < static_cast<size_t>(image.Height); ++y) {
    char* row = out.data() + y * rowBytes;
    for (size_t x = 0; x < static_cast<size_t>(image.Width); ++x, ++in) {
      if (*in >= 128) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    }
  }
  return out;
}

std::string creationDate(double now) {
  return formatDateTime(now, "%04d%02d%02d%02d%02d%02d");
}

}  // namespace

bool writeWholeOrSayWhy(const std::filesystem::path& file, std::string_view data,
                        std::string& cause) {
  std::error_code ec;
  const bool existed = std::filesystem::exists(file, ec);
  errno = 0;
  if (writeWholeFile(file, data)) return true;
  // A file that could not even be opened leaves its cause in errno only.
  const int openError = errno;
  cause = takeWriteFailure();
  if (cause.empty()) cause = std::strerror(openError != 0 ? openError : EIO);
  if (!existed) std::filesystem::remove(file, ec);
  return false;
}

std::string pdfTextString(const std::string& text1252) {
  bool plain = true;
  for (unsigned char c : text1252) plain = plain && c >= 0x20 && c < 0x7F;
  if (plain) {
    std::string out = "(";
    for (char c : text1252) {
      if (c == '(' || c == ')' || c == '\\') out += '\\';
      out += c;
    }
    return out + ")";
  }
  std::string out = "<FEFF";
  char buf[8];
  for (unsigned char c : text1252) {
    const char32_t cp = cp1252ToUnicode(c);
    std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(cp & 0xFFFF));
    out += buf;
  }
  return out + ">";
}

void TPDFPrint::line(const std::string& text) {
  out_ += text;
  out_ += kEol;
}

int TPDFPrint::startObject() {
  offsets_.push_back(out_.size());
  const int n = static_cast<int>(offsets_.size());
  line(num(n) + " 0 obj");
  return n;
}

std::string TPDFPrint::stream(const std::string& data) const {
  return Compress ? deflate(data) : data;
}

void TPDFPrint::openContent() {
  contentObject_ = startObject();
  contents_.push_back(contentObject_);
  line("<< /Length " + num(contentObject_ + 1) + " 0 R");
  if (Compress) line("/Filter [/FlateDecode]");
  line(" >>");
  line("stream");
  operators_.clear();
}

void TPDFPrint::closeContent() {
  const std::string data = stream(operators_);
  out_ += data;
  out_ += kEol;
  line("endstream");
  line("endobj");
  startObject();
  line(num(static_cast<int64_t>(data.size())));
  line("endobj");
}

void TPDFPrint::BeginDoc() {
  out_.clear();
  operators_.clear();
  offsets_.clear();
  contents_.clear();
  images_.clear();
  error_.clear();
  hasText_ = false;
  pageCount_ = 1;
  line("%PDF-1.2");
  startObject();
  line("<<");
  line("/Producer " + pdfTextString(Producer));
  line("/Author " + pdfTextString(Author));
  line("/CreationDate (D:" + creationDate(clock_.now()) + ")");
  line("/Creator " + pdfTextString(Creator));
  line("/Subject " + pdfTextString(Subject));
  line("/Title " + pdfTextString(Title));
  line(">>");
  line("endobj");
  openContent();
}

void TPDFPrint::AddImage(int x, int y, const GrayImage& image) {
  const int n = static_cast<int>(images_.size()) + 1;
  // Drawn at the image's own resolution: points are 1/72 inch.
  const auto w = static_cast<int64_t>(image.Width * 72.0 / ImagePpiX);
  const auto h = static_cast<int64_t>(image.Height * 72.0 / ImagePpiY);
  operators_ += "q" + std::string(kEol);
  operators_ +=
      num(w) + " 0 0 " + num(h) + " " + num(x) + " " + num(PageHeight - y - h) + " cm" + kEol;
  operators_ += "/Im" + num(n) + " Do" + kEol;
  operators_ += "Q" + std::string(kEol);

  const int bits = ImageBits == 1 ? 1 : 8;
  const std::string data = stream(imageBits(image, bits));
  std::string body;
  const auto add = [&body](const std::string& s) { body += s + kEol; };
  add("<< /Type /XObject");
  add("/Subtype /Image");
  add("/Width " + num(image.Width));
  add("/Height " + num(image.Height));
  add("/ColorSpace /DeviceGray");
  add("/BitsPerComponent " + num(bits));
  add("/Length " + num(static_cast<int64_t>(data.size())));
  add("/Name /Im" + num(n));
  if (Compress) add("/Filter [/FlateDecode]");
  add(">>");
  add("stream");
  body += data;
  images_.push_back(std::move(body));
}

void TPDFPrint::AddText(double x, double y, double width, double size,
                        const std::string& text1252) {
  if (text1252.empty() || size <= 0) return;
  hasText_ = true;
  // Courier's glyphs are all 0.6 of the size wide: the horizontal scale stretches the run to
  // the width drawn, so a selection covers the printed words.
  const double natural = 0.6 * size * static_cast<double>(text1252.size());
  const double scale = width > 0 ? std::clamp(width / natural * 100, 1.0, 1000.0) : 100.0;
  operators_ += "BT" + std::string(kEol);
  operators_ += "/F1 " + dec(size) + " Tf 3 Tr " + dec(scale) + " Tz" + kEol;
  operators_ += "1 0 0 1 " + dec(x) + " " + dec(PageHeight - y) + " Tm" + kEol;
  operators_ += textOperand(text1252) + " Tj" + kEol;
  operators_ += "ET" + std::string(kEol);
}

void TPDFPrint::NewPage() {
  ++pageCount_;
  closeContent();
  openContent();
}

bool TPDFPrint::EndDoc() {
  closeContent();
  const int outlines = startObject();
  line("<< /Type /Outlines");
  line("/Count 0");
  line(">>");
  line("endobj");
  const int font = startObject();
  line("<< /Type /Font");
  line("/Subtype /Type1");
  line("/Name /F1");
  line("/BaseFont /Courier");
  line("/Encoding /WinAnsiEncoding");
  // The map comes last, after the catalog.
  const int toUnicode = font + 4 + static_cast<int>(images_.size()) + pageCount_;
  if (hasText_) line("/ToUnicode " + num(toUnicode) + " 0 R");
  line(">>");
  line("endobj");
  const int pages = startObject();
  const int resources = pages + 1;
  const int firstImage = resources + 1;
  const int firstPage = firstImage + static_cast<int>(images_.size());
  line("<< /Type /Pages");
  line("/Kids [");
  for (int i = 0; i < pageCount_; ++i) line(num(firstPage + i) + " 0 R");
  line("]");
  line("/Count " + num(pageCount_));
  line(">>");
  line("endobj");
  startObject();
  line("<< /ProcSet [ /PDF /Text /ImageC]");
  line("/XObject << ");
  for (size_t k = 0; k < images_.size(); ++k)
    line("/Im" + num(static_cast<int64_t>(k + 1)) + " " +
         num(firstImage + static_cast<int64_t>(k)) + " 0 R");
  line(">>");
  line("/Font << ");
  line("/F1 " + num(font) + " 0 R ");
  line(">>");
  line(">>");
  line("endobj");
  for (std::string& body : images_) {
    startObject();
    out_ += body;
    out_ += kEol;
    line("endstream");
    line("endobj");
    body = std::string();
  }
  for (int i = 0; i < pageCount_; ++i) {
    startObject();
    line("<< /Type /Page");
    line("/Parent " + num(pages) + " 0 R");
    line("/MediaBox [ 0 0 " + num(PageWidth) + " " + num(PageHeight) + "]");
    line("/Contents " + num(contents_[static_cast<size_t>(i)]) + " 0 R");
    line("/Resources " + num(resources) + " 0 R");
    line(">>");
    line("endobj");
  }
  const int catalog = startObject();
  line("<< /Type /Catalog");
  line("/Pages " + num(pages) + " 0 R");
  line("/Outlines " + num(outlines) + " 0 R");
  line(">>");
  line("endobj");
  if (hasText_) {
    const std::string map = stream(toUnicodeMap());
    startObject();
    line("<< /Length " + num(static_cast<int64_t>(map.size())));
    if (Compress) line("/Filter [/FlateDecode]");
    line(">>");
    line("stream");
    out_ += map;
    out_ += kEol;
    line("endstream");
    line("endobj");
  }
  const size_t xref = out_.size();
  const int64_t size = static_cast<int64_t>(offsets_.size()) + 1;
  line("xref");
  line("0 " + num(size));
  line("0000000000 65535 f");
  char entry[32];
  for (size_t offset : offsets_) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n", offset);
    line(entry);
  }
  line("trailer");
  line("<< /Size " + num(size));
  line("/Root " + num(catalog) + " 0 R");
  line("/Info 1 0 R");
  line(">>");
  line("startxref");
  line(num(static_cast<int64_t>(xref)));
  line("%%EOF");
  images_.clear();

  return FileName.empty() || writeWholeOrSayWhy(FileName, out_, error_);
}

}  // namespace ks
