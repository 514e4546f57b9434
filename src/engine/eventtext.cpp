#include "engine/eventtext.h"

#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kReportCode = -501;

void report(const EventTextContext& ctx, const std::string& text) {
  if (ctx.report) ctx.report(kReportCode, text);
}

std::string expandHomeRow(const std::string& keys, const EventTextContext& ctx) {
  return sameText(keys, "HOMEROW") ? ctx.homeRow : keys;
}

std::string fileText(const std::string& name, const EventTextContext& ctx) {
  std::filesystem::path path = pathFrom1252(name);
  if (path.is_relative()) path = ctx.coursesFolder / path;
  return loadEventFile(path, ctx);
}

}  // namespace

std::string loadEventFile(const std::filesystem::path& file, const EventTextContext& ctx) {
  const std::filesystem::path path = resolveCaseInsensitive(file);
  std::string text;
  if (!readWholeFile(path, text)) {
    report(ctx, "File " + pathTo1252(path) + " missing or read error");
    return "File not found";
  }
  for (char& c : text) {
    if (c == ';' && ctx.semicolonChar) c = ctx.semicolonChar;
    if (c == '.' && ctx.keypadDecimalChar == ',') c = ',';
  }
  return ctx.repeatText ? repeatEventText(text) : text;
}

std::string repeatEventText(const std::string& text) {
  size_t marker = findText(text, "$loop$");
  std::string head = marker == std::string::npos ? std::string() : text.substr(0, marker);
  std::string body = marker == std::string::npos ? text : text.substr(marker + 6);
  const int copies = marker == std::string::npos ? 6 : 5;
  std::string out = head;
  for (int i = 0; i < copies; ++i) {
    if (i > 0) out += "\r\n";
    out += body;
  }
  return out;
}

std::string touchingDrill(const std::string& keys) {
  if (keys.size() < 8) return keys;
  const std::string left = keys.substr(0, 4);
  const std::string right = keys.substr(4, 4);
  return left + " " + left + " " + right + " " + right + " " + keys + " " + keys;
}

std::optional<std::string> loadEventText(const std::string& field, const EventTextContext& ctx) {
  if (sameText(field, "NIL")) return std::nullopt;
  if (startsWithText(field, "FILE:")) return fileText(field.substr(5), ctx);
  if (startsWithText(field, "KEYBUILDER:")) {
    const std::string keys = expandHomeRow(field.substr(11), ctx);
    std::string text = ctx.keyBuilder ? ctx.keyBuilder(keys) : std::string();
    if (text.empty()) report(ctx, "Keybuilder: " + keys + " no key sequence available");
    return text;
  }
  if (startsWithText(field, "TOUCHING:")) {
    return touchingDrill(expandHomeRow(field.substr(9), ctx));
  }
  if (startsWithText(field, "WORDBUILDER:")) {
    const std::string keys = field.substr(12);
    std::string text = ctx.wordBuilder ? ctx.wordBuilder(keys) : std::string();
    if (text.empty()) report(ctx, "Wordbuilder: " + keys + " no words available");
    return text;
  }
  return field;
}

}  // namespace ks
