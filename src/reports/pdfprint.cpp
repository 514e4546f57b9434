#include "reports/pdfprint.h"

#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/paths.h"
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

std::string creationDate(double now) {
  return formatDateTime(now, "%04d%02d%02d%02d%02d%02d");
}

}  // namespace

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

  const std::string pixels(image.Pixels.begin(), image.Pixels.end());
  const std::string data = stream(pixels);
  std::string body;
  const auto add = [&body](const std::string& s) { body += s + kEol; };
  add("<< /Type /XObject");
  add("/Subtype /Image");
  add("/Width " + num(image.Width));
  add("/Height " + num(image.Height));
  add("/ColorSpace /DeviceGray");
  add("/BitsPerComponent 8");
  add("/Length " + num(static_cast<int64_t>(data.size())));
  add("/Name /Im" + num(n));
  if (Compress) add("/Filter [/FlateDecode]");
  add(">>");
  add("stream");
  body += data;
  images_.push_back(std::move(body));
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

  if (FileName.empty()) return true;
  const std::filesystem::path path = pathFrom1252(FileName);
  std::error_code ec;
  const bool existed = std::filesystem::exists(path, ec);
  if (writeWholeFile(path, out_)) return true;
  if (!existed) std::filesystem::remove(path, ec);
  error_ = "Cannot write " + FileName;
  return false;
}

}  // namespace ks
