#include <gtest/gtest.h>

#include <sstream>

#include "contentc/compiler.h"
#include "store/fileobj.h"
#include "support/tempdir.h"

namespace fs = std::filesystem;
using ks::contentc::compileFile;
using ks::contentc::compileTree;
using ks::contentc::FileKind;
using ks::contentc::kindOf;
using ks::contentc::outputName;
using ks::test::readFile;
using ks::test::TempDir;
using ks::test::writeFile;

namespace {

std::string errorsOf(const ks::contentc::Compiled& c) {
  std::string out;
  for (const auto& d : c.errors) out += ks::contentc::formatDiagnostic(d) + "\n";
  return out;
}

}  // namespace

TEST(ContentCompiler, ConvertsToWindows1252WithCrLfWhateverTheSourceLineEnds) {
  // Bytes 0x80-0x9F are where 1252 and Latin-1 differ: the euro sign and the typographic quotes.
  const std::string source =
      "\xEF\xBB\xBF"  // a byte-order mark is dropped
      "caf\xC3\xA9 \xE2\x82\xAC\n"
      "\xE2\x80\x9Cquoted\xE2\x80\x9D\r\n"
      "mac\r"
      "\r\n"
      "last";
  auto c = compileFile("Texts/story.txt", source, "story.txt");
  ASSERT_TRUE(c.ok()) << errorsOf(c);
  EXPECT_EQ(c.bytes, "caf\xE9 \x80\r\n\x93quoted\x94\r\nmac\r\n\r\nlast\r\n");
}

TEST(ContentCompiler, ACharacterWithout1252CodeIsAnErrorNamingFileAndLine) {
  auto c =
      compileFile("Texts/story.txt", "fine\nnot \xE2\x9C\x93 fine\nbroken \xC3(\n", "story.txt");
  EXPECT_TRUE(c.bytes.empty()) << "no half file";
  ASSERT_EQ(c.errors.size(), 2u);
  EXPECT_EQ(ks::contentc::formatDiagnostic(c.errors[0]),
            "story.txt:2: error: the character U+2713 has no Windows-1252 code");
  EXPECT_EQ(c.errors[1].line, 3);
  EXPECT_NE(c.errors[1].message.find("UTF-8"), std::string::npos);
}

TEST(ContentCompiler, SettingsDropCommentsAndRejectBlanksTheProgramsWouldKeep) {
  auto good = compileFile("Policy.dyn", "# a note\n\n  # indented note\nSounds=1\n[Path]\nA=x=y\n",
                          "Policy.dyn");
  ASSERT_TRUE(good.ok()) << errorsOf(good);
  EXPECT_EQ(good.bytes, "Sounds=1\r\n[Path]\r\nA=x=y\r\n");

  auto bad =
      compileFile("Policy.dyn", "Sounds = 1\nRhythm= 1\nno equals\n=1\nOk=1\n", "Policy.dyn");
  ASSERT_EQ(bad.errors.size(), 4u) << errorsOf(bad);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bad.errors[i].line, i + 1);
}

TEST(ContentCompiler, LanguageFilesAreSortedByIdSoTheLastLineSizesTheTable) {
  auto c = compileFile("language.eng",
                       "# note\n0=ENG\n12=twelve\n/ a loader comment\n\n3=\\+three\n5=\n",
                       "language.eng");
  ASSERT_TRUE(c.ok()) << errorsOf(c);
  EXPECT_EQ(c.bytes, "0=ENG\r\n3=\\+three\r\n5=\r\n12=twelve\r\n");
}

TEST(ContentCompiler, LanguageFileMistakesAreReportedWithTheirLines) {
  auto dup = compileFile("language.eng", "0=ENG\n1=a\n1=b\n", "language.eng");
  ASSERT_EQ(dup.errors.size(), 1u);
  EXPECT_EQ(dup.errors[0].line, 3);
  EXPECT_NE(dup.errors[0].message.find("first on line 2"), std::string::npos);

  // An id with a blank in front is not an integer for the loader: the line would vanish.
  auto badId = compileFile("language.eng", "0=ENG\n 7=x\nx=y\n1=ok\n", "language.eng");
  EXPECT_EQ(badId.errors.size(), 2u) << errorsOf(badId);

  // Message 0 must occur in the installed path, or the load fails at run time.
  auto wrongZero = compileFile("language.fra", "0=ENG\n1=un\n", "language.fra");
  ASSERT_EQ(wrongZero.errors.size(), 1u);
  EXPECT_EQ(wrongZero.errors[0].line, 1);
  EXPECT_FALSE(compileFile("language.eng", "1=one\n", "l").ok());
  EXPECT_FALSE(compileFile("language.eng", "0=ENG\n", "l").ok()) << "a table needs two slots";
}

TEST(ContentCompiler, ScrambledOutputReadsBackThroughTheDataFileClasses) {
  const std::string body = "keyboard=all\nchapter name=1;Home row\nevent=text2;2;asdf jkl;";
  auto c = compileFile("lessons/demo.cnt",
                       "$description=Demo course\n$fileformat=crypted\n$language=ENG\n" + body,
                       "demo.cnt");
  ASSERT_TRUE(c.ok()) << errorsOf(c);
  EXPECT_EQ(c.bytes.find("keyboard"), std::string::npos) << "the body is not plain";
  TempDir dir;
  writeFile(dir / "demo.cnt", c.bytes);

  ks::TStreamFile stream;
  ASSERT_EQ(stream.OpenStream((dir / "demo.cnt").string()), 1);
  EXPECT_TRUE(stream.scrambled());
  EXPECT_EQ(stream.description(), "Demo course");
  EXPECT_EQ(stream.language(), "ENG") << "header lines after the marker are scrambled too";
  std::string line, all;
  while (stream.ReadLineText(line) && stream.status() == 1) all += line + "\n";
  EXPECT_EQ(all, body + "\n");

  ks::TTextFile text;
  ASSERT_EQ(text.OpenText((dir / "demo.cnt").string(), ks::TTextFile::tmRead), 1);
  ASSERT_TRUE(text.ReadLine(line));
  EXPECT_EQ(line, "keyboard=all");
}

TEST(ContentCompiler, ScrambledLinesCannotHoldCharactersThatBecomeLineEnds) {
  auto c = compileFile("lessons/demo.cnt", "$fileformat=crypted\nQuick\nfine\nback\\slash\n",
                       "demo.cnt");
  ASSERT_EQ(c.errors.size(), 2u) << errorsOf(c);
  EXPECT_EQ(c.errors[0].line, 2);
  EXPECT_EQ(c.errors[1].line, 4);
  // The same letters are fine in a plain file, and a marker too deep in the header is refused.
  EXPECT_TRUE(compileFile("lessons/plain.cnt", "$version=2\nQuick\n", "p").ok());
  std::string deep;
  for (int i = 0; i < 9; ++i) deep += "$author=me\n";
  EXPECT_FALSE(compileFile("lessons/deep.cnt", deep + "$fileformat=crypted\nabc\n", "d").ok());
}

TEST(ContentCompiler, KindsAndInstalledNames) {
  EXPECT_EQ(kindOf("README.md"), FileKind::Skip);
  EXPECT_EQ(kindOf("lessons/.gitkeep"), FileKind::Skip);
  EXPECT_EQ(kindOf("sounds/Click.wav"), FileKind::Binary);
  EXPECT_EQ(kindOf("Texts/Text1.exi"), FileKind::Text);
  EXPECT_EQ(kindOf("animals.vcb.eng"), FileKind::Text);
  EXPECT_EQ(kindOf("Language.ENG"), FileKind::Language);
  EXPECT_EQ(kindOf("language.icr"), FileKind::Text);
  EXPECT_EQ(kindOf("0.grp"), FileKind::Settings);
  EXPECT_EQ(outputName("lessons/Eng.CNT"), fs::path("lessons/eng.cnt"));
  EXPECT_EQ(outputName("Language.ENG"), fs::path("language.eng"));
  EXPECT_EQ(outputName("Policy.dyn"), fs::path("Policy.dyn"));
  EXPECT_EQ(outputName("Texts/Text1.exm"), fs::path("Texts/Text1.exm"));
}

TEST(ContentCompilerTree, BuildsTheFoldersAndWritesNothingWhenASourceIsBad) {
  TempDir data, out;
  fs::create_directories(data / "lessons");
  writeFile(data / "lessons" / "README.md", "notes");
  writeFile(data / "Policy.dyn", "# note\nSounds=1\n");
  writeFile(data / "beep.wav", std::string("RIFF\0\n\r\xFF", 8));
  std::ostringstream log;
  ASSERT_EQ(compileTree(data.path(), out / "share", log), 0) << log.str();
  EXPECT_TRUE(fs::is_directory(out / "share" / "lessons"));
  EXPECT_FALSE(fs::exists(out / "share" / "lessons" / "README.md"));
  EXPECT_EQ(readFile(out / "share" / "Policy.dyn"), "Sounds=1\r\n");
  EXPECT_EQ(readFile(out / "share" / "beep.wav"), std::string("RIFF\0\n\r\xFF", 8));

  writeFile(data / "Policy.dyn", "Sounds=0\n");
  writeFile(data / "Texts.txt", "smart \xE2\x9C\x93\n");
  ASSERT_EQ(compileTree(data.path(), out / "share", log), 1);
  EXPECT_NE(log.str().find("Texts.txt:1: error"), std::string::npos) << log.str();
  EXPECT_EQ(readFile(out / "share" / "Policy.dyn"), "Sounds=1\r\n") << "nothing was written";
}

TEST(ContentCompilerTree, TwoSourcesThatInstallUnderOneNameAreRefused) {
  TempDir data, out;
  fs::create_directories(data / "lessons");
  writeFile(data / "lessons" / "Eng.cnt", "a\n");
  writeFile(data / "lessons" / "eng.CNT", "b\n");
  std::ostringstream log;
  EXPECT_EQ(compileTree(data.path(), out.path(), log), 1);
  EXPECT_NE(log.str().find("same name"), std::string::npos) << log.str();
}

// A fast typist must need more than ten seconds for every text and exam of a course: shorter
// results are not measured, and a learner who types well could never pass.
TEST(ContentCompilerTree, TextsAndExamsAFastTypistFinishesInTenSecondsAreRefused) {
  TempDir data, out;
  fs::create_directories(data / "lessons");
  const std::string line(30, 'f');
  writeFile(data / "lessons" / "exam.txt",
            line + "\n" + line + "\n\"\xC2\xA4|w\"Anon\n" + line + "\n");
  writeFile(data / "lessons" / "long.txt",
            line + "\n" + line + "\n" + line + "\n" + line + "\n" + line + "\n");
  writeFile(data / "lessons" / "short.txt", "fj dk\n");
  writeFile(data / "lessons" / "c.cnt",
            "event=exam;1;file:exam.txt\nevent;TEXT;1;file:long.txt\nevent=text2;1;file:SHORT.txt\n"
            "event=key2;0;file:short.txt\n");
  std::ostringstream log;
  EXPECT_EQ(compileTree(data.path(), out.path(), log), 2) << log.str();
  EXPECT_NE(log.str().find("c.cnt:1: error: exam file:exam.txt is typed in 92 keystrokes"),
            std::string::npos)
      << log.str();
  EXPECT_NE(log.str().find("c.cnt:3: error: text2 file:SHORT.txt is typed in 30 keystrokes"),
            std::string::npos)
      << log.str();
  EXPECT_FALSE(fs::exists(out / "lessons" / "c.cnt"));
}

// A translation lacking a message, a placeholder or a joining blank would show English, format
// the wrong thing or glue words together: the build refuses it and names the message.
TEST(ContentCompilerTree, TranslationsMustGiveEveryMessageInTheShapeOfTheEnglishOne) {
  TempDir data, out;
  writeFile(data / "language.eng", "0=ENG\n1=Lesson\\+\n2=%s days\n3=Start\n5=\n");
  writeFile(data / "language.deu", "0=DEU\n1=Lektion\\+\n2=%s Tage\n3=Start\n5=deu.cnt\n");
  std::ostringstream log;
  ASSERT_EQ(compileTree(data.path(), out.path(), log), 0) << log.str();

  writeFile(data / "language.deu", "0=DEU\n1=Lektion\n2=Tage\n5=\n");
  EXPECT_EQ(compileTree(data.path(), out.path(), log), 3) << log.str();
  for (const char* problem :
       {"message 1 must end with a blank", "message 2 needs 1 \"%s\"", "message 3 is missing"}) {
    EXPECT_NE(log.str().find(problem), std::string::npos) << problem << "\n" << log.str();
  }
  EXPECT_NE(readFile(out / "language.deu").find("3=Start"), std::string::npos)
      << "the installed translation is kept";
}
