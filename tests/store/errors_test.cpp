#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <regex>

#include "recordingdialogs.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "support/tempdir.h"
#include "text/textutil.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::RecordingDialogs;
using test::TempDir;
using test::writeFile;

class ErrorLog : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "Database");
    writeFile(dir_ / "Policy.dyn", "");
    Localize().SetString(1, "Keyscholar");
    Localize().SetString(126, "Learner file is locked");
    setErrorLogClock(&clock_);
  }
  void TearDown() override {
    ProgramSettings.reset();
    setErrorLogClock(nullptr);
    Localize().Reset();
  }
  void startPrograms() {
    ProgramSettings = std::make_unique<TProgramSettings>(dir_.path());
    ProgramSettings->versionText = "8.0";
    ProgramSettings->buildNumber = "42";
    ProgramSettings->buildYear = "2024";
    ProgramSettings->buildDate = "2024-05-01";
  }
  fs::path log() const { return dir_ / "Database" / "Errors.log"; }

  TempDir dir_;
  FakeClock clock_{45292.5};  // 2024-01-01 12:00
  RecordingDialogs boxes_;
};

TEST_F(ErrorLog, TextsOfCodes) {
  EXPECT_EQ(ErrorText(0), "(0)");
  EXPECT_EQ(ErrorText(-5), "File write error");
  EXPECT_EQ(ErrorText(-7), "Unknown error -7");
  EXPECT_EQ(ErrorText(-801), "Learner file is locked");
  EXPECT_EQ(ErrorText(-9977),
            "Windows is currently using Large Fonts setting. Program requires small fonts.");
}

TEST_F(ErrorLog, BeforeThePathsExistOnlyTheBoxIsShown) {
  ReportError(-1, "eng.cnt");
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, "#-1 File not found\n\reng.cnt");
  EXPECT_EQ(boxes_.boxes[0].caption, "Keyscholar");
  EXPECT_FALSE(fs::exists(log()));
}

TEST_F(ErrorLog, FreshLogGetsItsHeaderThenEntries) {
  startPrograms();
  ReportError(-5633, "eng.cnt");
  ReportError2(-6123, -1);
  ASSERT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(boxes_.boxes[1].text,
            "#-6123 Contents file(s) *.CNT not available, program halted\n\rFile not found");

  const std::string bytes = readFile(log());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  const std::vector<std::string> lines = splitLines(bytes);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "Keyscholar 8.0 error file.  ");
  EXPECT_EQ(lines[1], "Please send this file to technical support. ");
  EXPECT_EQ(lines[2], std::string(58, '-'));
  EXPECT_TRUE(std::regex_match(
      lines[3],
      std::regex(R"(2024-01-01 12:00:00 Build 42 \(2024\) compiled 2024-05-01 - OS \d+(\.\d+)?)")))
      << lines[3];
  EXPECT_EQ(lines[4],
            "#-5633  The course selected earlier is no more available. Changing to Default "
            "course now.");
  EXPECT_EQ(lines[5], " - eng.cnt");
  EXPECT_EQ(lines[6], std::string(58, '-'));
  EXPECT_TRUE(std::regex_match(
      lines[7],
      std::regex(R"(2024-01-01 12:00:00 Build 42 \(2024\) released 2024-05-01OS \d+(\.\d+)?)")))
      << lines[7];
  EXPECT_EQ(lines[8], "#-6123  Contents file(s) *.CNT not available, program halted");
  EXPECT_EQ(lines[9], " - File not found = -1");
}

TEST_F(ErrorLog, LongDetailsAreCutAndAMissingFolderIsNoFailure) {
  startPrograms();
  ReportError(-2, std::string(400, 'd'));
  const std::vector<std::string> lines = splitLines(readFile(log()));
  EXPECT_EQ(lines.back(), " - " + std::string(247, 'd'));
  fs::remove_all(dir_ / "Database");
  ReportError(-2, "x");  // the box is shown; the log cannot be written, quietly
  EXPECT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_FALSE(fs::exists(log()));
}

TEST(ErrorLogAppend, TwoProcessesAppendingAtOnceLoseNothing) {
  TempDir dir;
  const fs::path path = dir / "Errors.log";
  constexpr int kEntries = 300;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      bool ok = true;
      for (int i = 0; i < kEntries; ++i) {
        const std::string entry = "---\r\nprocess " + std::to_string(c) + " entry " +
                                  std::to_string(i) + " " + std::string(100, 'x') + "\r\n";
        ok = appendToLog(path, "HEADER\r\n", entry) && ok;
      }
      _exit(ok ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::vector<std::string> lines = splitLines(readFile(path));
  ASSERT_EQ(lines.size(), 1u + 2u * 2u * kEntries);
  EXPECT_EQ(lines[0], "HEADER");
  std::map<int, int> next;  // per process: the entry expected next
  const std::regex entry(R"(process (\d) entry (\d+) x{100})");
  for (size_t i = 1; i < lines.size(); i += 2) {
    ASSERT_EQ(lines[i], "---") << i;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[i + 1], m, entry)) << lines[i + 1];
    const int process = std::stoi(m[1]);
    EXPECT_EQ(std::stoi(m[2]), next[process]++);
  }
  EXPECT_EQ(next[0], kEntries);
  EXPECT_EQ(next[1], kEntries);
}

}  // namespace
}  // namespace ks
