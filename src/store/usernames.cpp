#include "store/usernames.h"

#include <unistd.h>

#include "platform/paths.h"
#include "platform/system.h"
#include "store/filelists.h"
#include "store/langres.h"
#include "text/cp1252.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

// Characters a name may keep besides the language's alphabet (1252: ö å ä Ö Å Ä).
constexpr std::string_view kNameCharacters =
    "abcdefghijklmnopqrstuvwxyz0123456789\xF6\xE5\xE4\xD6\xC5\xC4-";

bool isAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool IsGuestName(std::string_view name) {
  return sameText(name, kGuestName);
}

std::string CleanUserName(std::string_view name) {
  std::string joined;
  std::string piece;
  auto flush = [&] {
    if (piece.empty()) return;
    if (!joined.empty()) joined += ' ';
    joined += piece;
    piece.clear();
  };
  for (char c : name) {
    if (c == ' ' || c == '.' || c == ',') {
      flush();
    } else {
      piece += c;
    }
  }
  flush();

  const std::string alphabet = Localize().GetString(12);
  std::string kept;
  for (char c : joined) {
    if (c == ' ' || alphabet.find(c) != std::string::npos ||
        kNameCharacters.find(c) != std::string_view::npos) {
      kept += c;
    }
  }
  return std::string(trimBlanks(TitleCase(kept)));
}

std::string UserFileBase(std::string_view name) {
  return IsGuestName(name) ? std::string(kGuestFileBase) : CleanUserName(name);
}

std::string SafeFileName(std::string_view name) {
  std::string safe(name);
  for (char& c : safe) {
    const auto u = static_cast<unsigned char>(c);
    if (!isAsciiAlnum(u) && c != '-' && c != '_') c = '_';
  }
  return safe;
}

std::string WorkstationName() {
  std::string name = envOr("KEYSCHOLAR_WORKSTATION", "");
  if (name.empty()) name = envOr("CLIENTNAME", "");
  if (name.empty()) {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0) {
      name = host;
      name = upperCase(name.substr(0, name.find('.')));
    }
  }
  return SafeFileName(utf8ToCp1252(name, '_'));
}

std::filesystem::path TypedTextPath(const std::filesystem::path& dataPath,
                                    std::string_view fileBase, int number) {
  return joinResolved(dataPath, std::string(fileBase) + ".TT" + intToStr(number));
}

}  // namespace ks
