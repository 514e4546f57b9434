// Checks a PDF with the tools a reader would use: qpdf's structure check and poppler's renderer.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/tempdir.h"

namespace ks::test {

// The output of a shell command (stdout and stderr), and its exit status in `status`.
inline std::string run(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (p == nullptr) return out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int rc = ::pclose(p);
  if (status != nullptr) *status = rc;
  return out;
}

// A greyscale page rendered by pdftoppm.
struct Rendered {
  int Width = 0, Height = 0;
  std::vector<unsigned char> Pixels;
  int at(int x, int y) const { return Pixels[static_cast<size_t>(y * Width + x)]; }
  // The darkest pixel in the rectangle.
  int darkest(int x0, int y0, int x1, int y1) const {
    int d = 255;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) d = std::min(d, at(x, y));
    return d;
  }
};

// Page `page` (from 1) of `pdf` at `dpi`.
inline Rendered renderPage(const std::filesystem::path& pdf, int page, int dpi) {
  Rendered r;
  const std::filesystem::path out = pdf.parent_path() / "render";
  run("pdftoppm -gray -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
      std::to_string(page) + " -singlefile '" + pdf.string() + "' '" + out.string() + "'");
  const std::string pgm = readFile(out.string() + ".pgm");
  int maxval = 0, used = 0;
  if (std::sscanf(pgm.c_str(), "P5 %d %d %d%n", &r.Width, &r.Height, &maxval, &used) != 3) return r;
  const size_t start = static_cast<size_t>(used) + 1;
  r.Pixels.assign(pgm.begin() + static_cast<long>(start), pgm.end());
  if (r.Pixels.size() != static_cast<size_t>(r.Width * r.Height)) r = Rendered{};
  return r;
}

inline int pdfPageCount(const std::filesystem::path& pdf) {
  return std::atoi(run("qpdf --show-npages '" + pdf.string() + "'").c_str());
}

}  // namespace ks::test
