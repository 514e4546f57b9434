// The plain kinds of BMP file (uncompressed, 24 or 32 bits a pixel, as the installation's
// pictures are) read straight into an image. Qt's reader asks every image plugin about the
// format first and converts row by row, which took a noticeable part of the first page.
#pragma once

#include <QImage>
#include <string_view>

namespace ks {

// The picture in `file` (a whole BMP file's bytes); a null image for any other kind of BMP,
// and for one that is cut short or claims more than it holds: the caller then asks Qt.
QImage readPlainBmp(std::string_view file);

}  // namespace ks
