#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::TempDir;

constexpr FileShare kShareAll{true, true};
constexpr FileShare kDenyWrite{true, false};
constexpr FileShare kDenyAll{false, false};

SharedFile openFile(const std::filesystem::path& p, FileAccess a, FileShare s,
                    OpenStatus* st = nullptr) {
  return SharedFile::open(p, a, s, true, st);
}

TEST(SharedFile, EmulatesWindowsSharingModes) {
  TempDir dir;
  auto path = dir / "user.usr";
  OpenStatus st;
  // Read/write deny-write (the workstation's mode) keeps a second writer out, not readers.
  SharedFile holder = openFile(path, FileAccess::ReadWrite, kDenyWrite);
  ASSERT_TRUE(holder.isOpen());
  EXPECT_FALSE(openFile(path, FileAccess::ReadWrite, kDenyWrite, &st).isOpen());
  EXPECT_EQ(st, OpenStatus::SharingViolation);
  EXPECT_FALSE(openFile(path, FileAccess::ReadWrite, kShareAll).isOpen());
  EXPECT_TRUE(openFile(path, FileAccess::Read, kShareAll).isOpen());
  // A reader that denies writing cannot come in while somebody writes.
  EXPECT_FALSE(openFile(path, FileAccess::Read, kDenyWrite).isOpen());
  holder.close();
  EXPECT_TRUE(openFile(path, FileAccess::ReadWrite, kDenyWrite).isOpen());
}

TEST(SharedFile, ReadersCoexistAndExclusiveShutsEveryoneOut) {
  TempDir dir;
  auto path = dir / "f";
  SharedFile r1 = openFile(path, FileAccess::Read, kShareAll);
  SharedFile r2 = openFile(path, FileAccess::Read, kShareAll);
  EXPECT_TRUE(r1.isOpen() && r2.isOpen());
  EXPECT_FALSE(openFile(path, FileAccess::ReadWrite, kDenyAll).isOpen());
  r1.close();
  r2.close();
  SharedFile ex = openFile(path, FileAccess::ReadWrite, kDenyAll);
  ASSERT_TRUE(ex.isOpen());
  EXPECT_FALSE(openFile(path, FileAccess::Read, kShareAll).isOpen());
  // A reader denying writes holds off a later writer.
  ex.close();
  SharedFile rdw = openFile(path, FileAccess::Read, kDenyWrite);
  ASSERT_TRUE(rdw.isOpen());
  EXPECT_FALSE(openFile(path, FileAccess::ReadWrite, kShareAll).isOpen());
}

TEST(SharedFile, MissingFilesAndFolders) {
  TempDir dir;
  OpenStatus st;
  EXPECT_FALSE(SharedFile::open(dir / "none", FileAccess::Read, kShareAll, false, &st).isOpen());
  EXPECT_EQ(st, OpenStatus::NotFound);
  EXPECT_FALSE(std::filesystem::exists(dir / "none"));
  // A folder is not a file.
  EXPECT_FALSE(SharedFile::open(dir.path(), FileAccess::Read, kShareAll, false, &st).isOpen());
}

TEST(SharedFile, CreatedFilesFollowTheUmask) {
  TempDir dir;
  mode_t old = ::umask(002);
  SharedFile f = openFile(dir / "shared.wks", FileAccess::ReadWrite, kShareAll);
  ::umask(old);
  struct stat sb {};
  ASSERT_EQ(::stat((dir / "shared.wks").c_str(), &sb), 0);
  EXPECT_EQ(sb.st_mode & 0777, 0664u);
}

TEST(SharedFile, WholeWriteReplacesLongerAndShorterContent) {
  TempDir dir;
  auto path = dir / "data";
  SharedFile f = openFile(path, FileAccess::ReadWrite, kDenyWrite);
  ASSERT_TRUE(f.writeWhole("a much longer first content\r\n"));
  ASSERT_TRUE(f.writeWhole("short\r\n"));
  std::string back;
  ASSERT_TRUE(f.readAll(back));
  EXPECT_EQ(back, "short\r\n");
  EXPECT_EQ(test::readFile(path), "short\r\n");
  ASSERT_TRUE(f.writeWhole(""));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  // A read-only handle refuses to write.
  SharedFile r = openFile(path, FileAccess::Read, kShareAll);
  EXPECT_FALSE(r.writeWhole("x"));
}

std::vector<std::filesystem::path> syncedFolders;

// A power cut must leave the old or the new content: the journal's rename is made durable by
// syncing its folder before the file is overwritten in place.
TEST(SharedFile, WholeWriteSyncsTheFolderOfItsJournal) {
  TempDir dir;
  SharedFile f = openFile(dir / "data", FileAccess::ReadWrite, kDenyWrite);
  syncedFolders.clear();
  setFolderSyncObserver(
      [](const std::filesystem::path& folder) { syncedFolders.push_back(folder); });
  ASSERT_TRUE(f.writeWhole("new content\r\n"));
  setFolderSyncObserver(nullptr);
  ASSERT_EQ(syncedFolders.size(), 1u);
  EXPECT_TRUE(std::filesystem::equivalent(syncedFolders[0], dir.path()));
}

TEST(Paths, ResolveNamesIgnoringCase) {
  TempDir dir;
  std::filesystem::create_directories(dir / "Lessons" / "Eng");
  test::writeFile(dir / "Lessons" / "Eng" / "eng1.cnt", "x");
  test::writeFile(dir / "Policy.dyn", "x");
  EXPECT_EQ(resolveCaseInsensitive(dir / "policy.DYN"), dir / "Policy.dyn");
  EXPECT_EQ(joinResolved(dir.path(), "lessons\\ENG\\ENG1.cnt"),
            dir / "Lessons" / "Eng" / "eng1.cnt");
  // Nothing matches: the name comes back as given, ready to be created.
  EXPECT_EQ(resolveCaseInsensitive(dir / "lessons" / "new.cnt"), dir / "lessons" / "new.cnt");
  // 1252 names reach the file system as UTF-8.
  test::writeFile(dir / "Åsa.usr", "x");
  EXPECT_EQ(joinResolved(dir.path(), "\xE5SA.usr"), dir / "Åsa.usr");
  EXPECT_EQ(pathTo1252(dir / "Åsa.usr").substr(dir.path().string().size()), "/\xC5sa.usr");
}

TEST(Paths, PatternsFoldCaseAndListingsAreSorted) {
  EXPECT_TRUE(matchesPattern("ENG1.CNT", "*.cnt"));
  EXPECT_TRUE(matchesPattern("a.b.cnt", "*.cnt"));
  EXPECT_TRUE(matchesPattern("abc", "a?c"));
  EXPECT_FALSE(matchesPattern("abc.cntx", "*.cnt"));
  EXPECT_TRUE(matchesPattern("", "*"));
  EXPECT_FALSE(matchesPattern("x", ""));
  TempDir dir;
  for (const char* n : {"b.cnt", "A.CNT", "c.txt", "C.cnt"}) test::writeFile(dir / n, "");
  std::filesystem::create_directory(dir / "d.cnt");
  EXPECT_EQ(listMatchingFiles(dir.path(), "*.cnt"),
            (std::vector<std::string>{"A.CNT", "b.cnt", "C.cnt"}));
  EXPECT_TRUE(listMatchingFiles(dir / "missing", "*").empty());
}

TEST(Clock, FakeClockMovesBothTimesTogether) {
  FakeClock clock(45292.0, 0);
  clock.advance(43200000);  // half a day
  EXPECT_EQ(clock.tickMs(), 43200000);
  EXPECT_DOUBLE_EQ(clock.now(), 45292.5);
  SystemClock real;
  EXPECT_GT(real.now(), 45292.0);
  EXPECT_LE(real.tickMs(), real.tickMs());
}

}  // namespace
}  // namespace ks
