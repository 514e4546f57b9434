#include "contentc/compiler.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "store/fileobj.h"
#include "text/cp1252.h"
#include "text/fields.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks::contentc {

namespace {

// Readers of data files look at this many header lines at most (the stream reader's limit; the
// text reader looks at 15, so a marker within 8 works for both).
constexpr size_t kHeaderLinesSeen = 8;
constexpr size_t kHeaderLinesMax = 15;
// The language loader keeps at most this much of a text.
constexpr size_t kMaxMessageLength = 10000;
constexpr int kMaxMessageId = 100000;

// File names are UTF-8; only ASCII letters change case, which is all our names need.
std::string lowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string codePointName(char32_t cp) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(cp));
  return buffer;
}

std::string joinCrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

void addError(std::vector<Diagnostic>& errors, const std::string& file, size_t index,
              std::string message) {
  errors.push_back({file, static_cast<int>(index) + 1, std::move(message)});
}

// Courses, layouts and texts: converted as they are. A header line "$fileformat=crypted"
// scrambles every line after it, header lines included, exactly as the data-file readers undo it.
std::string compileText(const std::vector<std::string>& lines, const std::string& file,
                        std::vector<Diagnostic>& errors) {
  std::string out;
  bool scrambling = false;
  bool inHeader = true;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (!scrambling) {
      out += line;
    } else if (!scramblable(line)) {
      addError(errors, file, i, "a scrambled line cannot hold 'Q', 'V' or a backslash");
    } else {
      out += scrambleText(line);
    }
    out += "\r\n";
    std::string_view header = trimBlanks(line);
    inHeader = inHeader && i < kHeaderLinesMax && !header.empty() && header[0] == '$' &&
               !startsWithText(header, "$end");
    if (!inHeader) continue;
    const std::vector<std::string> fields = splitFields(header);
    if (lowerCase(fields[0]) != "$fileformat") continue;
    scrambling = fields.size() > 1 && sameText(trimBlanks(fields[1]), "crypted");
    if (i >= kHeaderLinesSeen)
      addError(errors, file, i, "a $fileformat line must be among the first 8 header lines");
  }
  return out;
}

// Settings stores and INI files: the programs keep every character of a line, so blanks around a
// name or a value change what is read. Those are authoring mistakes and stop the build.
std::string compileSettings(const std::vector<std::string>& lines, const std::string& file,
                            std::vector<Diagnostic>& errors) {
  std::vector<std::string> kept;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    std::string_view trimmed = trimBlanks(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      if (trimmed.front() != '[' || trimmed.back() != ']' || trimmed.size() != line.size())
        addError(errors, file, i, "expected name=value or a [section] line");
    } else if (eq == 0) {
      addError(errors, file, i, "an entry needs a name before '='");
    } else if (trimBlanks(line.substr(0, eq)).size() != eq) {
      addError(errors, file, i, "blank around the name: the programs would not find this entry");
    } else if (trimBlanks(line.substr(eq + 1)).size() != line.size() - eq - 1) {
      addError(errors, file, i,
               "blank around the value: the programs would read it with the blank");
    }
    kept.push_back(line);
  }
  return joinCrLf(kept);
}

// Language files: one "id=text" line per message, sorted by id, because the loader sizes its
// table from the last line.
std::string compileLanguage(const std::vector<std::string>& lines, const std::string& file,
                            const std::string& installedName, std::vector<Diagnostic>& errors) {
  struct Entry {
    std::string line;
    size_t index;  // source line
    size_t eq;
  };
  std::map<int, Entry> entries;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (trimBlanks(line).empty() || line[0] == '#' || line[0] == '/') continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) {
      addError(errors, file, i, "expected id=text");
      continue;
    }
    const std::string idText = line.substr(0, eq);
    if (!std::all_of(idText.begin(), idText.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        idText.size() > 6 || std::stoi(idText) > kMaxMessageId) {
      addError(errors, file, i, "the message id '" + idText + "' is not a number up to 100000");
      continue;
    }
    if (line.size() - eq - 1 > kMaxMessageLength) {
      addError(errors, file, i, "the text is longer than 10000 characters");
      continue;
    }
    const int id = std::stoi(idText);
    auto [it, inserted] = entries.emplace(id, Entry{line, i, eq});
    if (!inserted) {
      addError(errors, file, i,
               "message " + std::to_string(id) + " is defined twice (first on line " +
                   std::to_string(it->second.index + 1) + ")");
    }
  }
  auto zero = entries.find(0);
  const std::string identity =
      zero == entries.end() ? std::string() : zero->second.line.substr(zero->second.eq + 1);
  if (identity.empty()) {
    errors.push_back({file, 0, "message 0 is missing or empty: it identifies the file"});
  } else if (upperCase(installedName).find(upperCase(identity)) == std::string::npos) {
    addError(errors, file, zero->second.index,
             "message 0 must occur in the installed name " + installedName);
  }
  if (entries.empty() || entries.rbegin()->first < 1) {
    errors.push_back({file, 0, "a language file needs at least one message besides 0"});
  }
  std::string out;
  for (const auto& [id, entry] : entries) {
    out += entry.line;
    out += "\r\n";
  }
  return out;
}

}  // namespace

std::string formatDiagnostic(const Diagnostic& d) {
  std::string out = d.file;
  if (d.line > 0) out += ":" + std::to_string(d.line);
  return out + ": error: " + d.message;
}

FileKind kindOf(const fs::path& relative) {
  const std::string name = lowerAscii(relative.filename().string());
  if (name.empty() || name[0] == '.' || name == "readme.md") return FileKind::Skip;
  const std::string ext = lowerAscii(relative.extension().string());
  if (name.rfind("language.", 0) == 0 && ext != ".icr") return FileKind::Language;
  if (ext == ".dyn" || ext == ".ini" || ext == ".grp") return FileKind::Settings;
  if (ext == ".txt" || ext == ".int" || ext == ".cnt" || ext == ".kbd" || ext == ".htm" ||
      ext == ".html" || ext == ".icr" || ext.rfind(".ex", 0) == 0 ||
      name.find(".vcb") != std::string::npos)
    return FileKind::Text;
  return FileKind::Binary;
}

fs::path outputName(const fs::path& relative) {
  const std::string first = lowerAscii(relative.begin()->string());
  const std::string name = lowerAscii(relative.filename().string());
  const bool lower = first == "lessons" || first == "keyboards" ||
                     name.find(".vcb") != std::string::npos ||
                     kindOf(relative) == FileKind::Language;
  return lower ? fs::path(lowerAscii(relative.generic_string())) : relative;
}

std::vector<std::string> toCp1252Lines(std::string_view source, const std::string& displayName,
                                       std::vector<Diagnostic>& errors) {
  if (source.substr(0, 3) == "\xEF\xBB\xBF") source.remove_prefix(3);
  std::vector<std::string> lines;
  std::string current;
  bool lineHasError = false;
  const auto endLine = [&] {
    lines.push_back(std::move(current));
    current.clear();
    lineHasError = false;
  };
  const auto fail = [&](const std::string& message) {
    if (!lineHasError) addError(errors, displayName, lines.size(), message);
    lineHasError = true;
  };
  size_t pos = 0;
  while (pos < source.size()) {
    const char c = source[pos];
    if (c == '\r' || c == '\n') {
      pos += (c == '\r' && pos + 1 < source.size() && source[pos + 1] == '\n') ? 2 : 1;
      endLine();
      continue;
    }
    const size_t start = pos;
    const char32_t cp = decodeUtf8(source, pos);
    if (cp == 0xFFFD && source.substr(start, 3) != "\xEF\xBF\xBD") {
      fail("broken UTF-8 sequence");
      continue;
    }
    const int byte = unicodeToCp1252(cp);
    if (byte < 0) {
      fail("the character " + codePointName(cp) + " has no Windows-1252 code");
    } else if (byte == 0) {
      fail("a NUL character would end the file for the programs");
    } else {
      current += static_cast<char>(byte);
    }
  }
  if (!current.empty()) endLine();
  return lines;
}

Compiled compileFile(const fs::path& relative, std::string_view source,
                     const std::string& displayName) {
  Compiled out;
  const FileKind kind = kindOf(relative);
  if (kind == FileKind::Skip) return out;
  if (kind == FileKind::Binary) {
    out.bytes.assign(source);
    return out;
  }
  const std::vector<std::string> lines = toCp1252Lines(source, displayName, out.errors);
  if (kind == FileKind::Text) {
    out.bytes = compileText(lines, displayName, out.errors);
  } else if (kind == FileKind::Settings) {
    out.bytes = compileSettings(lines, displayName, out.errors);
  } else {
    out.bytes =
        compileLanguage(lines, displayName, outputName(relative).filename().string(), out.errors);
  }
  if (!out.ok()) out.bytes.clear();
  return out;
}

}  // namespace ks::contentc
