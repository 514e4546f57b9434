// The program's own PDF writer: every page is one full-page greyscale image, Flate-compressed.
// It needs no fonts and no PDF library, so a report looks the same in every viewer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace ks {

// An 8-bit greyscale picture, rows top to bottom (0 black, 255 white).
struct GrayImage {
  int Width = 0;
  int Height = 0;
  std::vector<unsigned char> Pixels;  // Width * Height bytes
};

class TPDFPrint {
 public:
  explicit TPDFPrint(const Clock& clock = systemClock()) : clock_(clock) {}

  // Info texts, Windows-1252.
  std::string Producer = "Quillstroker";
  std::string Author = "Keyscholar developers";
  std::string Creator = "Quillstroker Pro";
  std::string Subject = "Report";
  std::string Title;
  std::string FileName;  // 1252, where EndDoc writes the document
  bool Compress = true;
  // Page size in points; the images' resolution decides how large they are drawn.
  int PageWidth = 612;
  int PageHeight = 792;
  double ImagePpiX = 96;
  double ImagePpiY = 96;

  void BeginDoc();
  // Draws `image` with its top left corner `x`, `y` points from the page's top left.
  void AddImage(int x, int y, const GrayImage& image);
  void NewPage();
  // Finishes the document and, with a file name, writes it whole. False with ErrorText set when
  // the file could not be written; a file that did not exist before is then removed.
  bool EndDoc();

  const std::string& Bytes() const { return out_; }
  int PageCount() const { return pageCount_; }
  const std::string& ErrorText() const { return error_; }

 private:
  int startObject();
  void line(const std::string& text);
  void openContent();
  void closeContent();
  std::string stream(const std::string& data) const;

  const Clock& clock_;
  std::string out_;
  std::string operators_;
  std::vector<size_t> offsets_;  // of objects 1, 2, ...
  std::vector<int> contents_;    // content object per page
  std::vector<std::string> images_;
  int pageCount_ = 0;
  int contentObject_ = 0;
  std::string error_;
};

// A value for a PDF text string: a literal with "\", "(" and ")" escaped, or, when it holds
// characters outside printable ASCII, UTF-16 in hex.
std::string pdfTextString(const std::string& text1252);

}  // namespace ks
