#include "platform/desktop/qtext.h"

#include <QFile>
#include <QList>

#include "text/cp1252.h"

namespace ks {

QString toQString(std::string_view text1252, bool lineBreaks) {
  QString out;
  out.reserve(static_cast<qsizetype>(text1252.size()));
  for (size_t i = 0; i < text1252.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text1252[i]);
    if (lineBreaks && c == '\r') {
      if (i + 1 < text1252.size() && text1252[i + 1] == '\n') ++i;
      out += QChar('\n');
      continue;
    }
    out += QChar(static_cast<char16_t>(cp1252ToUnicode(c)));
  }
  return out;
}

std::string toCp1252(const QString& text, char replacement) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (char32_t cp : text.toUcs4()) {
    int b = unicodeToCp1252(cp);
    out += b < 0 ? replacement : static_cast<char>(b);
  }
  return out;
}

std::filesystem::path toPath(const QString& file) {
  return std::filesystem::path(QFile::encodeName(file).toStdString());
}

}  // namespace ks
