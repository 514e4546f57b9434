// Text at the Qt edge: the core's Windows-1252 bytes to and from QString.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace ks {

// 1252 bytes as a QString; with `lineBreaks` a CR (the stored line break), CR LF or LF becomes
// "\n".
QString toQString(std::string_view text1252, bool lineBreaks = true);
// A QString as 1252 bytes; characters 1252 lacks become `replacement`.
std::string toCp1252(const QString& text, char replacement = '?');
// A file name a person chose, as the system's bytes: never through 1252, which would bend
// Cyrillic, Greek or CJK names.
std::filesystem::path toPath(const QString& file);

}  // namespace ks
