// The program's own PDF writer: every page is one full-page picture, Flate-compressed, so a
// report looks the same in every viewer without fonts or a PDF library. The words drawn on it
// can lie over it as invisible text, so readers can search, copy and read the page aloud.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
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
  std::string Author = "Quillstroker developers";
  std::string Creator = "Quillstroker";
  std::string Subject = "Report";
  std::string Title;
  // Where EndDoc writes the document: the name as the person chose it, never bent to 1252.
  std::filesystem::path FileName;
  bool Compress = true;
  // 8: the pictures' greys as given; 1: black and white (below 128 is black), an eighth the size.
  int ImageBits = 8;
  // Page size in points; the images' resolution decides how large they are drawn.
  int PageWidth = 612;
  int PageHeight = 792;
  double ImagePpiX = 96;
  double ImagePpiY = 96;

  void BeginDoc();
  // Draws `image` with its top left corner `x`, `y` points from the page's top left.
  void AddImage(int x, int y, const GrayImage& image);
  // Lays `text1252` invisibly over the page where it is drawn: its baseline starts `x`, `y`
  // points from the page's top left and it spans `width` points at `size` points.
  void AddText(double x, double y, double width, double size, const std::string& text1252);
  void NewPage();
  // Finishes the document and, with a file name, writes it whole. False with ErrorText (why, in
  // the system's words) when the file could not be written; a file that was there keeps its
  // old content, one that did not exist before is removed.
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
  bool hasText_ = false;
  int pageCount_ = 0;
  int contentObject_ = 0;
  std::string error_;
};

// Writes `data` as the whole of `file` by the safe whole-file write. False with `cause` (why, in
// the system's words) when it could not; a file that was there keeps its old content, one that
// was not is removed.
bool writeWholeOrSayWhy(const std::filesystem::path& file, std::string_view data,
                        std::string& cause);

// A value for a PDF text string: a literal with "\", "(" and ")" escaped, or, when it holds
// characters outside printable ASCII, UTF-16 in hex.
std::string pdfTextString(const std::string& text1252);

}  // namespace ks
