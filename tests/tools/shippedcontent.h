// Helpers of the tests that read the installation the build produced.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace ks::test {

inline const std::filesystem::path kShippedRoot =
    std::filesystem::path(KS_BINARY_DIR) / "share" / "keyscholar";

// A shipped course and the layout it is written for.
struct ShippedCourse {
  std::string file;      // in the lessons folder
  std::string layout;    // in the keyboards folder
  std::string language;  // the course's "$language"
};

inline void PrintTo(const ShippedCourse& c, std::ostream* os) {
  *os << c.file;
}

inline std::vector<ShippedCourse> shippedCourses() {
  return {{"eng.cnt", "qwerty.kbd", "ENG"},       {"enguk.cnt", "uk.kbd", "ENG"},
          {"engdvorak.cnt", "dvorak.kbd", "ENG"}, {"engcolemak.cnt", "colemak.kbd", "ENG"},
          {"deu.cnt", "german.kbd", "DEU"},       {"fra.cnt", "french.kbd", "FRA"},
          {"spa.cnt", "spanish.kbd", "SPA"},      {"por.cnt", "brazil.kbd", "POR"},
          {"ita.cnt", "italian.kbd", "ITA"}};
}

}  // namespace ks::test
