// Helpers of the layout tests: layout files written from lines, and a system keyboard with a
// fixed table.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "analysis/keydataext.h"
#include "platform/systemkeyboard.h"
#include "store/langres.h"
#include "support/tempdir.h"

namespace ks::test {

// A layout file: "$version=6" (or `version`) and the lines, CR LF, Windows-1252 as given.
inline std::string kbdFile(const std::vector<std::string>& lines,
                           const std::string& version = "6") {
  std::string out = "$version=" + version + "\r\n";
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

// Loads `lines` as a layout file; returns the load result.
inline int loadLines(TKeyDataExt& layout, const TempDir& dir, const std::vector<std::string>& lines,
                     const std::string& name = "test.kbd") {
  writeFile(dir / name, kbdFile(lines));
  return layout.loadFromFile((dir / name).string());
}

// The texts the layouts show, as the language file gives them.
inline void setKeyMessages() {
  const std::pair<int, const char*> texts[] = {{154, "left little finger"},
                                               {161, "right little finger"},
                                               {162, "thumb"},
                                               {163, "Tab"},
                                               {164, "Enter"},
                                               {165, "Backspace"},
                                               {166, "Space"},
                                               {167, "Shift"}};
  for (const auto& [id, text] : texts) Localize().SetString(id, text);
}

// A system keyboard answering from a table of scan code -> characters of the four states.
class FakeSystemKeyboard : public NullSystemKeyboard {
 public:
  FakeSystemKeyboard() { setSystemKeyboard(this); }
  ~FakeSystemKeyboard() override { setSystemKeyboard(nullptr); }

  std::string activeLayoutId() override { return active; }
  std::vector<std::string> configuredLayoutIds() override { return configured; }
  int activateLayout(std::string_view id) override {
    for (size_t i = 0; i < configured.size(); ++i) {
      if (configured[i] == id) {
        active = configured[i];
        ++switches;
        return static_cast<int>(i);
      }
    }
    return -1;
  }
  std::string keyChars(int scanCode, int state) override {
    auto it = keys.find(scanCode);
    return it == keys.end() ? "" : it->second[static_cast<size_t>(state)];
  }

  std::map<int, std::vector<std::string>> keys;  // four states each
  std::vector<std::string> configured{"00000409"};
  std::string active = "00000409";
  int switches = 0;
};

}  // namespace ks::test
