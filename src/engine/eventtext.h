// The text of an event, from its line's text field: a literal text, a file, or a drill that a
// builder composes for given keys.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace ks {

struct EventTextContext {
  std::filesystem::path coursesFolder;  // relative "FILE:" names start here
  char semicolonChar = 0;               // replaces ";" in file texts (0: none)
  char keypadDecimalChar = 0;           // "," turns every "." of a file text into ","
  bool repeatText = false;              // file texts are repeated for longer practice
  std::string homeRow;                  // what "HOMEROW" stands for
  // Drill builders for "KEYBUILDER:" and "WORDBUILDER:"; empty results are reported.
  std::function<std::string(const std::string& keys)> keyBuilder;
  std::function<std::string(const std::string& keys)> wordBuilder;
  // Error reports (code, text).
  std::function<void(int code, const std::string& text)> report;
};

// The text for `field` (1252); nothing for "NIL".
std::optional<std::string> loadEventText(const std::string& field, const EventTextContext& ctx);
// The text of the file at `path`, as a "FILE:" field would load it: for files whose folder a
// 1252 line cannot spell.
std::string loadEventFile(const std::filesystem::path& path, const EventTextContext& ctx);

// The repetition of a file text: with "$loop$" the part before it once and the part after it
// five times, else six copies; copies are separated by CR LF.
std::string repeatEventText(const std::string& text);

// The key-touching drill for a key list.
std::string touchingDrill(const std::string& keys);

}  // namespace ks
