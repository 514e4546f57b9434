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
  // Names and folders are shown as the file system spells them; the box expects 1252.
  const TLocalize& lang = Localize();
  std::string text = lang.GetString(2603) + "\"" + utf8ToCp1252(file.filename().string()) + "\"" +
                     lang.GetString(2604) + reason + ".\r\r" + outcome + "\r\r";
  if (copy.empty()) {
    text += lang.GetString(2614);
  } else {
    text += lang.GetString(2611) + "\"" + utf8ToCp1252(copy.filename().string()) + "\"" +
            lang.GetString(2612) + utf8ToCp1252(copy.parent_path().string()) + ". " +
            lang.GetString(2613);
  }
  dialogs().messageBox(text, lang.GetStringDefault(1), BoxKind::Warning);
  return copy;
}

}  // namespace ks
