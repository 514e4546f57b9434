// The typing test texts, game word lists, sounds and pictures of the installation.
#include <gtest/gtest.h>

#include <map>

#include "analysis/keydataext.h"
#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "shippedcontent.h"
#include "store/dynamicsettings.h"
#include "store/fileobj.h"
#include "store/recordingdialogs.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks {
namespace {

using test::kShippedRoot;

// The layout the texts of a language are typed on.
std::string layoutOf(const std::string& language) {
  // Every language but English has its own layout; English texts are typed on US QWERTY.
  static const std::map<std::string, std::string> layouts{{"DEU", "german.kbd"},
                                                          {"FRA", "french.kbd"},
                                                          {"SPA", "spanish.kbd"},
                                                          {"ITA", "italian.kbd"},
                                                          {"POR", "brazil.kbd"}};
  const auto it = layouts.find(language);
  return it == layouts.end() ? "qwerty.kbd" : it->second;
}

// The characters of `text` but line ends that cannot be typed on the layout (an accented letter
// may come from a dead key).
std::string untypeable(const std::string& text, const std::string& layoutFile = "qwerty.kbd") {
  static std::map<std::string, TKeyDataExt> layouts;
  TKeyDataExt& layout = layouts[layoutFile];
  if (layout.Keys.empty()) {
    EXPECT_EQ(layout.loadFromFile((kShippedRoot / "keyboards" / layoutFile).string()), 1);
  }
  std::string bad;
  for (char c : text) {
    if (c == '\r' || c == '\n' || c == ' ') continue;
    if (layout.findKey(std::string(1, c)).key == nullptr && !layout.findDeadKey(c).accent.key)
      bad += c;
  }
  return bad;
}

TEST(ShippedTexts, TenOrMoreTestTextsWithDescriptorsAndSources) {
  test::RecordingDialogs boxes;
  const auto descriptors = listMatchingFiles(kShippedRoot / "Texts", "*.exi");
  EXPECT_GE(descriptors.size(), 10u);
  size_t shortest = SIZE_MAX, longest = 0;
  std::map<std::string, int> perLanguage;
  std::map<std::string, size_t> charsPerLanguage;
  for (const std::string& name : descriptors) {
    const fs::path exi = kShippedRoot / "Texts" / pathFrom1252(name);
    SCOPED_TRACE(name);
    TDynamicSettings d;
    ASSERT_EQ(d.Open(exi.string(), omReadOnce), 1);
    EXPECT_FALSE(d.ReadString("name").empty());
    const std::string language = d.ReadString("language");
    // How each language says "public domain", in the Windows-1252 of the installation.
    static const std::map<std::string, std::string> publicDomain{{"ENG", "public domain"},
                                                                 {"DEU", "gemeinfrei"},
                                                                 {"FRA", "domaine public"},
                                                                 {"SPA",
                                                                  "dominio p\xFA"
                                                                  "blico"},
                                                                 {"ITA", "pubblico dominio"},
                                                                 {"POR",
                                                                  "dom\xEDnio p\xFA"
                                                                  "blico"}};
    ASSERT_TRUE(publicDomain.count(language)) << language;
    ++perLanguage[language];
    const std::string copyright = d.ReadString("copyright");
    EXPECT_NE(findText(copyright, publicDomain.at(language)), std::string::npos) << copyright;
    int32_t accuracy = -1;
    EXPECT_TRUE(tryStrToInt(d.ReadString("MinAccuracy"), accuracy));
    EXPECT_TRUE(accuracy >= 0 && accuracy <= 100);

    fs::path exm = exi;
    exm.replace_extension(".exm");
    TTextFile text;
    ASSERT_EQ(text.OpenText(exm.string(), TTextFile::tmRead), fsOk);
    std::string all, line;
    while (text.ReadLine(line)) all += line + "\n";
    EXPECT_EQ(untypeable(all, layoutOf(language)), "");
    shortest = std::min(shortest, all.size());
    longest = std::max(longest, all.size());
    charsPerLanguage[language] += all.size();
  }
  EXPECT_LT(shortest * 2, longest) << "texts of varied length";
  for (const char* language : {"DEU", "FRA", "SPA", "ITA", "POR"}) {
    EXPECT_GE(perLanguage[language], 8) << language << " learners choose among their own texts";
    EXPECT_GE(charsPerLanguage[language], 7500u) << language << ": text for tests of any length";
  }
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(ShippedTexts, GameWordListsCarryTheLanguageSuffix) {
  for (const std::string language : {"ENG", "DEU", "SPA", "FRA", "POR", "ITA"}) {
    const auto lists = listMatchingFiles(kShippedRoot, "*.vcb." + language);
    EXPECT_GE(lists.size(), 4u) << language;
    for (const std::string& name : lists) {
      const fs::path file = kShippedRoot / pathFrom1252(name);
      std::vector<std::string> words;
      ASSERT_EQ(TStreamFile::ReadAllLines(words, file.string()), fsOk) << name;
      EXPECT_GE(words.size(), 30u) << name;
      for (const std::string& w : words) {
        const std::string word(trimBlanks(w));
        EXPECT_FALSE(word.empty()) << name;
        EXPECT_EQ(lowerCase(word), word) << name;
        EXPECT_EQ(untypeable(word, layoutOf(language)), "") << name;
      }
    }
  }
}

// A short RIFF wave: the sound service plays these by file name.
TEST(ShippedMedia, TheFiveSoundsAreShortWaves) {
  for (const char* name : {"Click.wav", "Theend.wav", "Error.wav", "Error2.wav", "Intro.wav"}) {
    std::string bytes;
    ASSERT_TRUE(readWholeFile(kShippedRoot / name, bytes)) << name;
    ASSERT_GT(bytes.size(), 44u) << name;
    EXPECT_EQ(bytes.substr(0, 4), "RIFF") << name;
    EXPECT_EQ(bytes.substr(8, 4), "WAVE") << name;
    EXPECT_LT(bytes.size(), 200000u) << name << " is meant to be short";
  }
}

TEST(ShippedMedia, PicturesAreBitmaps) {
  for (const fs::path& name :
       {fs::path("splash.bmp"), fs::path("logo.bmp"), fs::path("lessons") / "course.bmp"}) {
    std::string bytes;
    ASSERT_TRUE(readWholeFile(kShippedRoot / name, bytes)) << name;
    EXPECT_EQ(bytes.substr(0, 2), "BM") << name;
  }
}

}  // namespace
}  // namespace ks
