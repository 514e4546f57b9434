// The learner's own test texts: a plain text file becomes a test text. Files are read as UTF-8
// (Windows-1252 when they are not valid UTF-8); typographic quotes, dashes and ellipses become
// what a keyboard types, and characters the learner's layout cannot type are named before the
// learner decides to leave them out.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "typingtest/testtexts.h"

namespace ks {

// A file's text as 1252 with CR LF line ends. `untypable` receives the characters that have no
// 1252 code or that `typable` refuses, each once, separated by blanks (those without a 1252 code
// as "U+1F600"); with `drop` they are left out, otherwise those without a 1252 code become "?".
std::string ImportText(std::string_view fileBytes,
                       const std::function<bool(unsigned char)>& typable, bool drop,
                       std::string* untypable);

// "Text" + n for the next own text: n = 1 + the number of "text*.exm" files, raised while taken.
std::string NewTextBaseName(const std::filesystem::path& folder);

struct TextImportServices {
  // The characters the learner's layout types; null: every 1252 character.
  std::function<bool(unsigned char)> typable;
  // Asked with the characters (as ImportText lists them) that cannot be typed: true leaves them
  // out, false adds nothing.
  std::function<bool(const std::string& untypable)> askDrop;
  double now = 0;  // the date the text is added
};

// Adds `chosenFile` to `folder` as a new text and returns its descriptor (saved); null when the
// file cannot be read (a box says so), the folder cannot be written (a box says so) or the
// learner kept the untypable characters. Nothing half-written stays behind.
std::unique_ptr<TtypingTest> AddTestText(const std::filesystem::path& folder,
                                         const std::filesystem::path& chosenFile,
                                         const TextImportServices& services);

}  // namespace ks
