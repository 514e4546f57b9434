// The shipped layout files as the installation holds them (Windows-1252, CR LF), loaded for the
// keyboard tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/keydataext.h"
#include "analysis/layouttest.h"
#include "text/cp1252.h"
#include "text/textutil.h"

namespace ks::test {

inline const std::vector<std::string>& shippedLayoutFiles() {
  static const std::vector<std::string> files{
      "qwerty.kbd", "uk.kbd",     "usint2.kbd",  "dvorak.kbd",  "colemak.kbd",
      "german.kbd", "french.kbd", "spanish.kbd", "italian.kbd", "brazil.kbd"};
  return files;
}

// Writes data/keyboards/`file` into `folder` as the installation holds it.
inline void writeShippedLayout(const std::filesystem::path& folder, const std::string& file) {
  const std::string utf8 = readFile(std::string(KS_SOURCE_DIR) + "/data/keyboards/" + file);
  std::string crlf;
  for (const std::string& line : splitLines(utf8ToCp1252(utf8))) crlf += line + "\r\n";
  writeFile(folder / file, crlf);
}

// Loads data/keyboards/`file` into `layout` through a copy in `dir`; the load result.
inline int loadShippedLayout(TKeyDataExt& layout, const TempDir& dir, const std::string& file) {
  setKeyMessages();
  writeShippedLayout(dir.path(), file);
  return layout.loadFromFile((dir / file).string());
}

}  // namespace ks::test
