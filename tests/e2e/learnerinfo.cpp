// Prints what a learner's files hold, read through the store the programs use, so the end-to-end
// scripts can check what typing left behind:
//   learnerinfo [--language CODE] NAME [KEY...]
// One line per result ("result C.E kind sub checked seconds hits errors accuracy"), one per key
// of the lesson statistics that was pressed ("key C presses errors"; "monitorkey" for the
// monitor's statistics), one per entered word
// ("word W repeats difficulty"), one per word the review course practises ("review W"), then
// "KEY=value" for each setting asked for. Exit 2 when the learner cannot be opened (the reason on
// standard error). --language reads the files as a tutor in that language does: learners' names
// may hold that language's letters.
#include <cstdio>
#include <memory>
#include <string>

#include "analysis/diffkeys.h"
#include "content/reviewcourse.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "text/cp1252.h"

namespace {

void printResult(const ks::TResultItem& r) {
  std::printf("result %d.%d %s %s checked=%d seconds=%d hits=%d errors=%d accuracy=%d\n", r.Chapter,
              r.Exercise, r.Kind.c_str(), r.SubKind.c_str(), r.Checked ? 1 : 0, r.TypingSeconds,
              r.TotalHits, r.ErrorHits, r.Accuracy);
}

void printKeys(const ks::TDifficultKeys& keys, const char* kind = "key") {
  for (int c = ks::TDifficultKeys::FirstCode; c < 256; ++c) {
    const auto f = keys.figures(static_cast<unsigned char>(c));
    if (f.Presses == 0 && f.Errors == 0) continue;
    std::printf("%s %c presses=%d errors=%d\n", kind, c, f.Presses, f.Errors);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string language;
  if (argc > 2 && std::string(argv[1]) == "--language") {
    language = argv[2];
    argc -= 2;
    argv += 2;
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: learnerinfo NAME [KEY...]\n");
    return 1;
  }
  // Learners' file names follow the installation's language, as in the programs.
  ks::Localize().SetFolder(ks::installationFolder());
  ks::Localize().LoadLanguage(ks::LanguageBaseName, 1);
  ks::Localize().SetListedLanguage(language);
  ks::ProgramSettings = std::make_unique<ks::TProgramSettings>();
  if (ks::ProgramSettings->fatal()) return 2;
  ks::OpenPolicySettings("Policy.dyn", ks::ProgramSettings->rootPath());
  try {
    std::unique_ptr<ks::TUser> user =
        ks::FindUser(ks::utf8ToCp1252(argv[1]), -1, ks::ulRead, false);
    if (!user) {
      std::fprintf(stderr, "no learner %s\n", argv[1]);
      return 2;
    }
    for (const ks::TResultItem& r : user->Results().Items()) printResult(r);
    printKeys(user->Difficulties().LessonDifficulties);
    printKeys(user->Difficulties().MonitorDifficulties, "monitorkey");
    const ks::TWordList& words = user->Words();
    for (int i = 1; i <= ks::TWordList::Capacity && !words.Entry(i).Word.empty(); ++i) {
      const ks::WordEntry& e = words.Entry(i);
      std::printf("word %s repeats=%d difficulty=%d\n", e.Word.c_str(), e.Repeats,
                  ks::TWordList::Difficulty(e));
    }
    for (const std::string& w : ks::reviewWords(&user->Words()))
      std::printf("review %s\n", w.c_str());
    for (int i = 2; i < argc; ++i) {
      std::printf("%s=%s\n", argv[i], user->ReadString(ks::utf8ToCp1252(argv[i])).c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  return 0;
}
