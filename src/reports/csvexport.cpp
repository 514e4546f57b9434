#include "reports/csvexport.h"

#include <cstdio>
#include <exception>
#include <system_error>

#include "platform/paths.h"
#include "reports/pdfprint.h"
#include "store/autostart.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "store/usernames.h"
#include "text/cp1252.h"
#include "text/dates.h"
#include "text/numbers.h"

namespace ks {
namespace {

std::string field(const std::string& text1252) {
  const std::string utf8 = cp1252ToUtf8(text1252);
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
  std::string out = "\"";
  for (char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string isoDate(double dateTime) {
  return dateTime <= 0 ? std::string() : formatDateTime(dateTime, "%04d-%02d-%02dT%02d:%02d:%02d");
}

std::string words(int keystrokes, int wordLength) {
  return floatToStrFixed(wordLength > 0 ? double(keystrokes) / wordLength : keystrokes, 1);
}

std::string optional(int value) {
  return value < 0 ? std::string() : intToStr(value);
}

}  // namespace

const char* const kResultsCsvHeader =
    "number,source,course,lesson,exercise,event,name,test,kind,subkind,date,typing_seconds,"
    "time_limit,gross_kpm,gross_wpm,net_kpm,net_wpm,accuracy_percent,rhythm,efficiency,"
    "keystrokes,errors,passed,complete";

std::string ResultsCsv(const TResults& results, int wordLength) {
  std::string out = std::string(kResultsCsvHeader) + "\r\n";
  for (const TResultItem& r : results.Items()) {
    const std::string cells[] = {intToStr(r.Number),
                                 field(r.Source),
                                 field(r.CourseId),
                                 intToStr(r.Chapter),
                                 intToStr(r.Exercise),
                                 intToStr(r.Event),
                                 field(r.Name),
                                 field(r.TestName),
                                 field(r.Kind),
                                 field(r.SubKind),
                                 isoDate(r.Date),
                                 intToStr(r.TypingSeconds),
                                 intToStr(r.TimeLimit),
                                 intToStr(r.GrossSpeed),
                                 words(r.GrossSpeed, wordLength),
                                 intToStr(r.NetSpeed),
                                 words(r.NetSpeed, wordLength),
                                 intToStr(r.Accuracy),
                                 intToStr(r.Rhythm),
                                 intToStr(r.Efficiency),
                                 optional(r.TotalHits),
                                 optional(r.ErrorHits),
                                 r.Passed ? "1" : "0",
                                 r.Complete ? "1" : "0"};
    bool first = true;
    for (const std::string& c : cells) {
      if (!first) out += ',';
      out += c;
      first = false;
    }
    out += "\r\n";
  }
  return out;
}

bool ExportResultsCsv(TUser& user, const std::filesystem::path& file, std::string& cause) {
  return writeWholeOrSayWhy(file, ResultsCsv(user.Results(), lessonOptions().wordLength), cause);
}

}  // namespace ks

namespace ks {

std::optional<int> answerExportCsv(const std::vector<std::string>& args) {
  if (args.empty() || args[0] != "--export-csv") return std::nullopt;
  if (args.size() < 2 || args.size() > 3) {
    std::fprintf(stderr, "Usage: keyscholar --export-csv FILE [LEARNER]\n");
    return 2;
  }
  Localize().SetFolder(installationFolder());
  Localize().LoadLanguage(LanguageBaseName, 1);
  ProgramSettings = std::make_unique<TProgramSettings>();
  if (ProgramSettings->fatal()) return 1;
  OpenPolicySettings("Policy.dyn", ProgramSettings->rootPath());
  std::string name = args.size() == 3 ? utf8ToCp1252(args[2]) : std::string();
  if (name.empty()) {
    TDynamicSettings ws;
    const auto file = joinResolved(ProgramSettings->dataPath(), WorkstationName() + ".wks");
    if (ws.Open(file.string(), omReadShared) == 1 && ws.Load() != -1)
      name = ws.ReadString("LastUser." + LoginName());
  }
  std::unique_ptr<TUser> user;
  try {
    if (!name.empty()) user = FindUser(name, -1, ulRead, true);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "keyscholar: %s\n", cp1252ToUtf8(e.what()).c_str());
    return 1;
  }
  if (!user) {
    std::fprintf(stderr, "keyscholar: no learner %s%s%s found; name one after the file.\n",
                 name.empty() ? "" : "called \"", cp1252ToUtf8(name).c_str(),
                 name.empty() ? "" : "\"");
    return 1;
  }
  std::string cause;
  // The file's name goes through as the system's bytes, whatever script it is written in.
  if (!ExportResultsCsv(*user, std::filesystem::path(args[1]), cause)) {
    std::fprintf(stderr, "keyscholar: cannot write %s: %s\n", args[1].c_str(), cause.c_str());
    return 1;
  }
  std::printf("%zu results of %s written to %s\n", user->Results().Items().size(),
              cp1252ToUtf8(user->UserName()).c_str(), args[1].c_str());
  return 0;
}

}  // namespace ks
