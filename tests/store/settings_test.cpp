#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "store/dynamicsettings.h"
#include "store/qssettings.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(SettingsStore, ReadsAndWritesTheFileFormat) {
  TempDir dir;
  auto path = dir / "a.usr";
  writeFile(path, "Sounds=1\nA=1\na=2\nKey=x=y\nno equals line\nFlag=yes\nNum=12abc\nSpaced = 1\n");
  TDynamicSettings s;
  ASSERT_EQ(s.Open(path.string(), omDenyWrite), 1);
  EXPECT_EQ(s.ReadInteger("sounds"), 1);
  EXPECT_EQ(s.ReadString("A"), "1");  // the first of duplicate names wins
  EXPECT_EQ(s.ReadString("key"), "x=y");
  EXPECT_TRUE(s.ReadBool("flag"));
  EXPECT_EQ(s.ReadInteger("num"), 0);
  EXPECT_EQ(s.ReadString("Spaced"), "");   // the name is "Spaced " with its blank
  EXPECT_EQ(s.ReadInteger("Spaced "), 1);  // " 1" is an integer...
  EXPECT_FALSE(s.ReadBool("Spaced "));     // ...but not a boolean
  EXPECT_EQ(s.ReadString("missing"), "");
  EXPECT_FALSE(s.ReadList("missing").has_value());
  EXPECT_FALSE(s.file().changed());

  EXPECT_EQ(s.WriteInteger("SOUNDS", 0), 1);
  EXPECT_EQ(s.WriteString("a", ""), 1);  // removes "A=1", the first match
  EXPECT_EQ(s.WriteFloat("F", 0.1f), 1);
  EXPECT_EQ(s.WriteString("Spaced ", ""), 1);
  EXPECT_EQ(s.Close(), 2);
  EXPECT_EQ(readFile(path),
            "SOUNDS=0\r\na=2\r\nKey=x=y\r\nno equals line\r\nFlag=yes\r\nNum=12abc\r\n"
            "F=0.100000001490116\r\n");
}

TEST(SettingsStore, TypedValuesRoundTrip) {
  TempDir dir;
  TDynamicSettings s;
  ASSERT_EQ(s.Open((dir / "t.wks").string(), omDenyWrite), 1);
  s.WriteInteger("Int", -42);
  s.WriteInt64("UsageTimes", 3000000000LL);
  s.WriteBool("On", true);
  s.WriteBool("Off", false);
  s.WriteFloat("AccessDateTime", 45292.6f);
  s.WriteString("List", "one,\"two words\",three");
  ASSERT_EQ(s.Close(), 2);

  TDynamicSettings r;
  ASSERT_EQ(r.Open((dir / "T.WKS").string(), omReadShared), 1);  // any letter case
  EXPECT_EQ(r.ReadInteger("int"), -42);
  EXPECT_EQ(r.ReadInt64("usagetimes"), 3000000000LL);  // the whole 64-bit range
  EXPECT_TRUE(r.ReadBool("On"));
  EXPECT_FALSE(r.ReadBool("Off"));
  EXPECT_FLOAT_EQ(r.ReadFloat("AccessDateTime"), 45292.6f);
  EXPECT_EQ(r.ReadList("list"), (std::vector<std::string>{"one", "two words", "three"}));
  EXPECT_EQ(r.ReadInteger("UsageTimes"), 0);  // too large for 32 bits
  for (const char* truthy : {"yes", "True", "1", "Y"}) {
    EXPECT_TRUE(textToBool(truthy)) << truthy;
  }
  for (const char* falsy : {"no", "0", "", "false", " 1"}) {
    EXPECT_FALSE(textToBool(falsy)) << falsy;
  }
}

TEST(SettingsStore, ValuesCannotInjectLinesOrKeys) {
  TempDir dir;
  auto path = dir / "u.usr";
  TDynamicSettings s;
  ASSERT_EQ(s.Open(path.string(), omDenyWrite), 1);
  EXPECT_EQ(s.WriteString("Note", "hello\r\nbypass_chapter_lock=1"), 1);
  EXPECT_EQ(s.WriteString("bad=name", "1"), -1);
  EXPECT_EQ(s.WriteString("", "1"), -1);
  ASSERT_EQ(s.Close(), 2);
  EXPECT_EQ(readFile(path), "Note=hello  bypass_chapter_lock=1\r\n");
}

TEST(SettingsStore, LoneLineFeedsComeBackAsCrLf) {
  TempDir dir;
  auto path = dir / "lf.dyn";
  writeFile(path, "x=1\ny=2\r\nz=3\rlast=4");
  TDynamicSettings s;
  ASSERT_EQ(s.Open(path.string(), omShared), 1);
  EXPECT_EQ(s.ReadString("last"), "4");
  s.WriteString("x", "5");
  s.Close();
  EXPECT_EQ(readFile(path), "x=5\r\ny=2\r\nz=3\r\nlast=4\r\n");
}

TEST(SettingsStore, ReadOnlyAndMissingFilesPerMode) {
  TempDir dir;
  TDynamicSettings s;
  EXPECT_EQ(s.Open((dir / "none.dyn").string(), omReadShared), -1);
  EXPECT_FALSE(std::filesystem::exists(dir / "none.dyn"));
  EXPECT_EQ(s.Open((dir / "none.dyn").string(), omReadDenyWrite), -1);
  EXPECT_EQ(s.Load(), -1);
  EXPECT_EQ(s.ReadString("x"), "");
  EXPECT_EQ(s.WriteString("x", "1"), -1);  // a closed store takes no writes

  ASSERT_EQ(s.Open((dir / "new.wks").string(), omDenyWrite), 1);
  s.Close();
  ASSERT_TRUE(std::filesystem::exists(dir / "new.wks"));
  EXPECT_EQ(std::filesystem::file_size(dir / "new.wks"), 0u);

  auto policy = dir / "Policy.dyn";
  writeFile(policy, "Sounds=1\n");
  ASSERT_EQ(s.Open(policy.string(), omReadShared), 1);
  EXPECT_EQ(s.WriteString("Sounds", "0"), 1);
  EXPECT_EQ(s.ReadString("Sounds"), "0");  // visible in memory...
  EXPECT_FALSE(s.file().changed());
  EXPECT_EQ(s.Close(), 2);
  EXPECT_EQ(readFile(policy), "Sounds=1\n");  // ...but never written

  // Read-only access without the read-only flag: the write-back fails and says so.
  ASSERT_EQ(s.Open(policy.string(), omCompat), 1);
  s.WriteString("Sounds", "0");
  EXPECT_EQ(s.Flush(), -1);
  EXPECT_EQ(s.Close(), -1);
  EXPECT_TRUE(s.file().opened());
  EXPECT_EQ(readFile(policy), "Sounds=1\n");
  EXPECT_EQ(s.Open(policy.string(), 99), -1);
}

TEST(SettingsStore, ReadOnceReleasesTheFile) {
  TempDir dir;
  auto path = dir / "QSLangs.ini";
  writeFile(path, "[Languages]\nlanguage=ENG\nEnglish=ENG\n");
  TDynamicFile f;
  ASSERT_EQ(f.Open(path.string(), omReadOnce), 1);
  std::string v;
  EXPECT_EQ(f.ReadString("language", v), 1);
  EXPECT_EQ(v, "ENG");
  // Released after the first load: an exclusive opener now succeeds.
  TDynamicFile other;
  EXPECT_EQ(other.Open(path.string(), omExclusive), 1);
}

TEST(SettingsStore, UrlAndMemoryModes) {
  TempDir dir;
  auto path = dir / "remote.dyn";
  writeFile(path, "Key=local\n");
  TDynamicSettings s;
  ASSERT_EQ(s.Open("file://" + path.string(), omUrl), 1);  // "file:///tmp/..." keeps its "/"
  EXPECT_EQ(s.ReadString("Key"), "local");
  ASSERT_EQ(s.Open("file://" + path.string(), omFileUrl), 1);
  EXPECT_EQ(s.ReadString("Key"), "local");
  EXPECT_EQ(fileUrlToPath("file:///home/x/a.dyn"), "/home/x/a.dyn");

  // Without a fetcher an HTTP open fails cleanly; with one, status 200 is required.
  EXPECT_EQ(s.Open("http://127.0.0.1/x.dyn", omUrl), -1);
  std::string requested;
  setUrlFetcher([&](const std::string& url, bool bypass, std::string& body) {
    requested = url;
    EXPECT_TRUE(bypass);
    body = "Remote=1\r\n";
    return url.find("missing") == std::string::npos ? 200 : 404;
  });
  ASSERT_EQ(s.Open("http://example.invalid/p.dyn", omUrl), 1);
  EXPECT_EQ(s.ReadString("remote"), "1");
  EXPECT_EQ(s.WriteString("x", "1"), 1);  // kept in memory only
  EXPECT_EQ(s.Close(), 2);
  EXPECT_EQ(s.Open("http://example.invalid/missing.dyn", omUrl), -1);
  setUrlFetcher(nullptr);

  ASSERT_EQ(s.Open("", omMemory), 1);
  s.WriteString("m", "1");
  EXPECT_EQ(s.ReadString("M"), "1");
}

TEST(SettingsStore, KeyNamesPairsAndClear) {
  TempDir dir;
  auto path = dir / "k.dyn";
  writeFile(path, "B=2\nplain\nb=3\nC=\n");
  TDynamicSettings s;
  ASSERT_EQ(s.Open(path.string(), omShared), 1);
  EXPECT_EQ(s.file().KeyNames(), (std::vector<std::string>{"B", "", "b", "C"}));
  EXPECT_EQ(s.file().KeyValuePairs(), (std::vector<std::string>{"B=2", "=", "b=2", "C="}));
  EXPECT_EQ(s.Clear(), 1);
  EXPECT_EQ(s.ReadString("B"), "");
  TDynamicSettings closed;
  EXPECT_EQ(closed.Clear(), -1);
  EXPECT_FALSE(closed.file().KeyNames().has_value());
}

// A store of thousands of lines (a learner's results) finds names the way a short one does:
// any letter case by 1252 rules, the first of duplicates, and the right line after removals.
TEST(SettingsStore, LargeStoresFindNamesLikeSmallOnes) {
  TempDir dir;
  auto path = dir / "big.usr";
  std::string text = "Dup=first\r\n\xC4rger=1\r\nplain\r\n";
  for (int i = 0; i < 3000; ++i)
    text += "Re" + std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
  text += "DUP=second\r\n\xE4RGER=2\r\n";
  writeFile(path, text);
  TDynamicSettings s;
  ASSERT_EQ(s.Open(path.string(), omDenyWrite), 1);
  EXPECT_EQ(s.ReadString("dup"), "first");
  EXPECT_EQ(s.ReadString("\xE4rger"), "1");
  EXPECT_EQ(s.ReadString("re2999"), "v2999");
  EXPECT_EQ(s.ReadString("Re3000"), "");
  EXPECT_EQ(s.ReadString("plain"), "");

  EXPECT_EQ(s.WriteString("Dup", ""), 1);  // the second comes forward
  EXPECT_EQ(s.ReadString("dup"), "second");
  EXPECT_EQ(s.WriteString("Re10", ""), 1);  // the lines after it move up
  EXPECT_EQ(s.ReadString("Re10"), "");
  EXPECT_EQ(s.ReadString("Re11"), "v11");
  EXPECT_EQ(s.WriteString("Re2999", "changed"), 1);
  EXPECT_EQ(s.WriteString("New", "n"), 1);
  EXPECT_EQ(s.WriteString("NEW", "m"), 1);  // the same line, not a second one
  EXPECT_EQ(s.ReadString("re2999"), "changed");
  EXPECT_EQ(s.ReadString("new"), "m");
  EXPECT_EQ(s.Close(), 2);

  std::string expected = "\xC4rger=1\r\nplain\r\n";
  for (int i = 0; i < 3000; ++i) {
    if (i == 10) continue;
    expected +=
        "Re" + std::to_string(i) + "=" + (i == 2999 ? "changed" : "v" + std::to_string(i)) + "\r\n";
  }
  expected += "DUP=second\r\n\xE4RGER=2\r\nNEW=m\r\n";
  EXPECT_EQ(readFile(path), expected);
}

// The workstation file held by another process: the second opener falls back to ".2nd".
TEST(WorkstationStore, SecondProcessFallsBackToSecondFile) {
  TempDir dir;
  int toChild[2], toParent[2];
  ASSERT_EQ(pipe(toChild), 0);
  ASSERT_EQ(pipe(toParent), 0);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    TDynamicSettings held;
    char c = held.Open((dir / "PC1.wks").string(), omDenyWrite) == 1 ? 'y' : 'n';
    held.WriteString("Holder", "child");
    held.Flush();
    (void)!write(toParent[1], &c, 1);
    (void)!read(toChild[0], &c, 1);
    held.Close();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(toParent[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');

  TDynamicSettings direct;
  EXPECT_EQ(direct.Open((dir / "PC1.wks").string(), omDenyWrite), -1);
  ASSERT_TRUE(OpenWorkstationSettings(dir.path(), "PC1.wks", omDenyWrite));
  EXPECT_EQ(workstationSettings->path(), (dir / "PC1.wks.2nd").string());
  // Two shared readers of the held file coexist with it.
  TDynamicSettings r1, r2;
  EXPECT_EQ(r1.Open((dir / "PC1.wks").string(), omReadShared), 1);
  EXPECT_EQ(r2.Open((dir / "PC1.wks").string(), omReadShared), 1);
  EXPECT_FALSE(ReturnToWorkstationFile(omDenyWrite));  // still held
  // What the holder set up is read beside it, unless the copy has its own.
  EXPECT_EQ(ReadWorkstationValue("Holder"), "child");
  EXPECT_EQ(ReadWorkstationValue("Missing"), "");
  workstationSettings->WriteString("Holder", "copy");
  EXPECT_EQ(ReadWorkstationValue("Holder"), "copy");

  (void)!write(toChild[1], &c, 1);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(readFile(dir / "PC1.wks"), "Holder=child\r\n");
  // Once released, the program on the copy takes the first file, with what the holder wrote.
  ASSERT_TRUE(ReturnToWorkstationFile(omDenyWrite));
  EXPECT_EQ(workstationSettings->path(), (dir / "PC1.wks").string());
  EXPECT_EQ(workstationSettings->ReadString("Holder"), "child");
  workstationSettings.reset();
  ASSERT_TRUE(OpenWorkstationSettings(dir.path(), "pc1.wks", omDenyWrite));
  EXPECT_EQ(workstationSettings->ReadString("Holder"), "child");
  workstationSettings.reset();
}

TEST(PolicyStore, ReadsTheLessonOptions) {
  TempDir dir;
  EXPECT_FALSE(OpenPolicySettings("Policy.dyn", dir.path()));
  writeFile(dir / "policy.dyn", "wpm_length=0\nErrorFactor=6\nPrevent_Backspace=1\n");
  ASSERT_TRUE(OpenPolicySettings("Policy.dyn", dir.path()));
  EXPECT_EQ(lessonOptions().wordLength, 6);
  EXPECT_TRUE(lessonOptions().preventBackspace);
  EXPECT_FALSE(lessonOptions().disableColorKbd);
  EXPECT_EQ(workstationOpenMode(), omDenyWrite);
  writeFile(dir / "policy.dyn", "wpm_length=-3\ndisable_colorkbd=yes\nWKSLegacyMode=1\n");
  ASSERT_TRUE(OpenPolicySettings("Policy.dyn", dir.path()));
  EXPECT_EQ(lessonOptions().wordLength, 5);
  EXPECT_TRUE(lessonOptions().disableColorKbd);
  EXPECT_EQ(workstationOpenMode(), omShared);
  PolicySettings.reset();
  ReadLessonOptions();
  EXPECT_EQ(lessonOptions().wordLength, 5);
}

}  // namespace
}  // namespace ks
