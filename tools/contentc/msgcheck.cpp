#include "contentc/msgcheck.h"

#include <algorithm>
#include <regex>

#include "platform/sharedfile.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks::contentc {

namespace {

int lineAt(std::string_view text, size_t offset) {
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

bool isNumber(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

size_t countOf(std::string_view text, std::string_view what) {
  size_t n = 0;
  for (size_t p = text.find(what); p != std::string_view::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

// "\+" is how a text keeps a blank at either end.
bool startsWithBlank(std::string_view t) {
  return t.starts_with(' ') || t.starts_with("\\+");
}
bool endsWithBlank(std::string_view t) {
  return t.ends_with(' ') || t.ends_with("\\+");
}

// What differs between a message and its translation, or "" when they fit.
std::string mismatch(std::string_view reference, std::string_view text) {
  if (text.empty() && !reference.empty()) return "has no text";
  for (std::string_view placeholder : {"%s", "%d"}) {
    if (countOf(reference, placeholder) != countOf(text, placeholder))
      return "needs " + std::to_string(countOf(reference, placeholder)) + " \"" +
             std::string(placeholder) + "\" as in language.eng";
  }
  if (startsWithBlank(reference) != startsWithBlank(text))
    return startsWithBlank(reference) ? "must begin with a blank (\\+) as in language.eng"
                                      : "must not begin with a blank, as in language.eng";
  if (endsWithBlank(reference) != endsWithBlank(text))
    return endsWithBlank(reference) ? "must end with a blank (\\+) as in language.eng"
                                    : "must not end with a blank, as in language.eng";
  return {};
}

}  // namespace

std::vector<MessageUse> messageUsesIn(std::string_view source, const std::string& file) {
  // A lookup with a computed id (1500 + grade) is not a literal and is not listed.
  static const std::regex single(R"(\b(?:GetString|GetStringDefault|msg)\s*\(\s*(\d+)\s*\))");
  static const std::regex compose(R"(\bComposeMessage\s*\(([^()]*)\))");
  std::vector<MessageUse> uses;
  const std::string text(source);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), single);
       it != std::sregex_iterator(); ++it) {
    uses.push_back({std::stoi((*it)[1]), file, lineAt(text, static_cast<size_t>(it->position()))});
  }
  for (auto it = std::sregex_iterator(text.begin(), text.end(), compose);
       it != std::sregex_iterator(); ++it) {
    const std::string args = (*it)[1];
    const int line = lineAt(text, static_cast<size_t>(it->position()));
    size_t start = 0;
    while (start <= args.size()) {
      size_t comma = args.find(',', start);
      if (comma == std::string::npos) comma = args.size();
      std::string_view arg = trim(std::string_view(args).substr(start, comma - start));
      if (isNumber(arg) && arg.size() < 7)
        uses.push_back({std::stoi(std::string(arg)), file, line});
      start = comma + 1;
    }
  }
  std::sort(uses.begin(), uses.end(),
            [](const MessageUse& a, const MessageUse& b) { return a.line < b.line; });
  return uses;
}

std::vector<MessageUse> scanMessageUses(const std::vector<fs::path>& roots) {
  std::vector<fs::path> files;
  for (const fs::path& root : roots) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      const std::string ext = it->path().extension().string();
      if (it->is_regular_file() && (ext == ".cpp" || ext == ".h")) files.push_back(it->path());
    }
  }
  std::sort(files.begin(), files.end());
  std::vector<MessageUse> uses;
  for (const fs::path& path : files) {
    std::string source;
    if (!readWholeFile(path, source)) continue;
    std::vector<MessageUse> found = messageUsesIn(source, path.string());
    uses.insert(uses.end(), found.begin(), found.end());
  }
  return uses;
}

std::map<int, std::string> messageTexts(std::string_view languageFile) {
  std::map<int, std::string> texts;
  for (const std::string& line : splitLines(languageFile)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq > 6) continue;
    std::string_view id = std::string_view(line).substr(0, eq);
    if (isNumber(id)) texts[std::stoi(std::string(id))] = line.substr(eq + 1);
  }
  return texts;
}

std::set<int> definedMessageIds(std::string_view languageFile) {
  std::set<int> ids;
  for (const auto& entry : messageTexts(languageFile)) ids.insert(entry.first);
  return ids;
}

std::vector<MessageUse> missingMessages(const std::vector<MessageUse>& uses,
                                        const std::set<int>& defined) {
  std::vector<MessageUse> missing;
  for (const MessageUse& use : uses) {
    if (!defined.count(use.id)) missing.push_back(use);
  }
  return missing;
}

std::vector<Diagnostic> checkTranslations(const std::map<std::string, std::string>& installed,
                                          const std::map<std::string, std::string>& displayOf) {
  std::vector<Diagnostic> errors;
  const auto english = installed.find("language.eng");
  if (english == installed.end()) return errors;
  const std::map<int, std::string> reference = messageTexts(english->second);
  for (const auto& [name, bytes] : installed) {
    if (!name.starts_with("language.") || name == "language.eng" || name == "language.icr")
      continue;
    const std::string display = displayOf.count(name) ? displayOf.at(name) : name;
    const std::map<int, std::string> texts = messageTexts(bytes);
    for (const auto& [id, text] : reference) {
      if (id == 0) continue;  // names its own file
      const auto it = texts.find(id);
      const std::string problem =
          it == texts.end() ? std::string("is missing") : mismatch(text, it->second);
      if (!problem.empty())
        errors.push_back({display, 0, "message " + std::to_string(id) + " " + problem});
    }
  }
  return errors;
}

}  // namespace ks::contentc
