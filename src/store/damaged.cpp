#include "store/damaged.h"

#include <fstream>
#include <system_error>

#include "platform/dialogs.h"
#include "store/langres.h"
#include "text/cp1252.h"
#include "text/numbers.h"

namespace ks {

bool EndsInMidLine(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  if (size <= 0) return false;
  in.seekg(size - 1);
  char last = 0;
  in.get(last);
  return last != '\n';
}

std::filesystem::path KeepDamagedCopy(const std::filesystem::path& file, const std::string& reason,
                                      const std::string& outcome) {
  namespace fs = std::filesystem;
  fs::path copy;
  std::error_code ec;
  for (int n = 1; n < 100; ++n) {
    fs::path candidate = file;
    candidate += n == 1 ? ".damaged" : ".damaged" + intToStr(n);
    if (fs::exists(candidate, ec)) continue;
    if (fs::copy_file(file, candidate, fs::copy_options::none, ec)) copy = candidate;
    break;
  }
  // Paths are shown as the file system spells them; the box expects the program's own text.
  const std::string shown = utf8ToCp1252(file.string());
  std::string text = "The file \"" + shown + "\" is damaged: " + reason + ". ";
  if (copy.empty()) {
    text += "No copy of it could be kept. ";
  } else {
    text += "A copy of it was kept as \"" + utf8ToCp1252(copy.string()) + "\". ";
  }
  dialogs().messageBox(text + outcome, Localize().GetStringDefault(1), BoxKind::Warning);
  return copy;
}

}  // namespace ks
