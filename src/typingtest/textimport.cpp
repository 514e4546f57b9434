#include "typingtest/textimport.h"

#include <cstdio>
#include <set>

#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "store/langres.h"
#include "text/cp1252.h"
#include "text/numbers.h"

namespace ks {
namespace {

bool validUtf8(std::string_view bytes) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t at = pos;
    const char32_t cp = decodeUtf8(bytes, pos);
    // A real U+FFFD is three bytes; a broken sequence decodes to it from fewer or other bytes.
    if (cp == 0xFFFD && bytes.substr(at, 3) != "\xEF\xBF\xBD") return false;
  }
  return true;
}

// What a keyboard types for the typographic characters writers' programs put in.
const char* plainFor(char32_t cp) {
  switch (cp) {
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201B:
    case 0x2032:
      return "'";
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x201F:
    case 0x2033:
      return "\"";
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x2212:
      return "-";
    case 0x2026:
      return "...";
    case 0x00A0:
    case 0x2007:
    case 0x202F:
    case 0x2009:
      return " ";
    case 0x00AD:
    case 0x200B:
    case 0xFEFF:
      return "";  // soft hyphen, zero width, byte-order mark
    default:
      return nullptr;
  }
}

}  // namespace

std::string ImportText(std::string_view bytes, const std::function<bool(unsigned char)>& typable,
                       bool drop, std::string* untypable) {
  std::u32string cps;
  if (validUtf8(bytes)) {
    for (size_t pos = 0; pos < bytes.size();) cps.push_back(decodeUtf8(bytes, pos));
  } else {
    for (unsigned char b : bytes) cps.push_back(cp1252ToUnicode(b));
  }
  std::string out;
  std::set<char32_t> refused;
  for (size_t i = 0; i < cps.size(); ++i) {
    const char32_t cp = cps[i];
    if (cp == '\r' || cp == '\n') {
      // Every line end becomes CR LF, the form the text events read.
      if (cp == '\r' && i + 1 < cps.size() && cps[i + 1] == '\n') ++i;
      out += "\r\n";
      continue;
    }
    if (cp == '\t') {
      out += ' ';
      continue;
    }
    if (const char* plain = plainFor(cp)) {
      out += plain;
      continue;
    }
    if (cp < 32) continue;  // other control characters type nothing
    const int b = unicodeToCp1252(cp);
    if (b < 0 || (typable && !typable(static_cast<unsigned char>(b)))) {
      refused.insert(cp);
      if (!drop) out += b < 0 ? '?' : static_cast<char>(b);
      continue;
    }
    out += static_cast<char>(b);
  }
  if (untypable != nullptr) {
    // Shown in a message: characters 1252 lacks are named by their code.
    untypable->clear();
    for (char32_t cp : refused) {
      if (!untypable->empty()) *untypable += ' ';
      const int b = unicodeToCp1252(cp);
      if (b >= 0) {
        *untypable += static_cast<char>(b);
      } else {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
        *untypable += code;
      }
    }
  }
  return out;
}

std::string NewTextBaseName(const std::filesystem::path& folder) {
  int n = 1 + static_cast<int>(listMatchingFiles(folder, "text*.exm").size());
  const auto taken = [&](int k) {
    const std::string base = "Text" + intToStr(k);
    return std::filesystem::exists(joinResolved(folder, base + ".exm")) ||
           std::filesystem::exists(joinResolved(folder, base + ".exi"));
  };
  while (taken(n)) ++n;
  return "Text" + intToStr(n);
}

std::unique_ptr<TtypingTest> AddTestText(const std::filesystem::path& folder,
                                         const std::filesystem::path& chosenFile,
                                         const TextImportServices& services) {
  const std::string caption = Localize().GetStringDefault(1);
  std::string bytes;
  if (!readWholeFile(chosenFile, bytes)) {
    dialogs().messageBox("Cannot open the chosen file for read. Make sure you close it first.",
                         caption, BoxKind::Error);
    return nullptr;
  }
  std::string untypable;
  ImportText(bytes, services.typable, false, &untypable);
  if (!untypable.empty() && (!services.askDrop || !services.askDrop(untypable))) return nullptr;
  const std::string text = ImportText(bytes, services.typable, true, nullptr);

  const std::string base = NewTextBaseName(folder);
  const std::filesystem::path textFile = joinResolved(folder, base + ".exm");
  auto d = std::make_unique<TtypingTest>();
  const auto failed = [&] {
    d.reset();
    std::error_code ec;
    std::filesystem::remove(textFile, ec);
    std::filesystem::remove(joinResolved(folder, base + ".exi"), ec);
    dialogs().messageBox("Cannot open the file for output", caption, BoxKind::Error);
    return nullptr;
  };
  if (!writeWholeFile(textFile, text)) return failed();
  if (LoadDescriptor(*d, base, folder, omShared) != 1) return failed();
  d->WriteString("Name", pathTo1252(chosenFile.filename()) + " " + Localize().GetString(1429));
  d->WriteString("Time", "");
  d->WriteString("userAdded", "QSPro");
  d->WriteString("dateAdded", floatToStr(services.now));
  if (d->Flush() != 1) return failed();
  return d;
}

}  // namespace ks
