#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "analysis/keydataext.h"
#include "store/binio.h"
#include "store/group.h"
#include "store/password.h"
#include "store/user.h"
#include "store/usernames.h"
#include "support/tempdir.h"
#include "text/textutil.h"
#include "userfolders.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

using Learners = test::UserFolders;

bool hasLine(const std::string& text, const std::string& line) {
  return ("\r\n" + text).find("\r\n" + line + "\r\n") != std::string::npos;
}

std::string openError(const std::string& name, int lockMode) {
  try {
    OpenUser(name, -1, lockMode, true);
  } catch (const UserOpenError& e) {
    return e.what();
  }
  return "opened";
}

// A learner file on a shared folder must not give its password away: the digest is salted
// (the same password twice gives two digests) and slow.
TEST_F(Learners, PasswordsAreKeptAsSaltedSlowDigests) {
  auto user = NewUser("Ann");
  EXPECT_TRUE(user->CheckPassword(""));  // no password yet
  ASSERT_TRUE(user->SetPassword(""));
  EXPECT_TRUE(user->CheckPassword(""));
  EXPECT_FALSE(user->CheckPassword("x"));
  ASSERT_TRUE(user->SetPassword("abc"));
  const std::string first = user->ReadString("Password");
  EXPECT_TRUE(first.starts_with("PBKDF2-SHA256$600000$")) << first;
  EXPECT_EQ(first.size(), std::string("PBKDF2-SHA256$600000$").size() + 32 + 1 + 64) << first;
  EXPECT_TRUE(user->CheckPassword("abc"));
  EXPECT_FALSE(user->CheckPassword("abd"));
  EXPECT_FALSE(user->CheckPassword(""));
  ASSERT_TRUE(user->SetPassword("abc"));
  EXPECT_NE(user->ReadString("Password"), first);
  EXPECT_TRUE(user->CheckPassword("abc"));
  // A damaged digest lets no one in, and a huge round count does not stall the login.
  for (const char* damaged : {"PBKDF2-SHA256$600000$00$", "PBKDF2-SHA256$x$00$00",
                              "PBKDF2-SHA256$2000000000$00$00", "PBKDF2-SHA256$1$0G$00"}) {
    user->WriteString("Password", damaged);
    EXPECT_FALSE(user->CheckPassword("abc")) << damaged;
    EXPECT_FALSE(user->CheckPassword("")) << damaged;
  }
}

// Files of earlier versions hold the short RIPEMD-160 digest: it still lets its learner in, and
// the first login that knows the password replaces it in the file.
TEST_F(Learners, AnEarlierShortDigestIsAcceptedAndReplacedAtTheNextLogin) {
  EXPECT_EQ(LegacyPasswordDigest(""), "9C1185A5C5E9FC");
  EXPECT_EQ(LegacyPasswordDigest("abc"), "8EB208F7E05D98");
  writeFile(data("Ann.usr"), "UserName=Ann\r\nPassword=8eb208f7e05d98\r\n");
  {
    auto user = OpenUser("Ann", -1, ulWrite, true);
    EXPECT_FALSE(user->CheckPassword("abd"));
    EXPECT_FALSE(user->CheckPassword(""));
    EXPECT_TRUE(hasLine(readFile(data("Ann.usr")), "Password=8eb208f7e05d98"));
    EXPECT_TRUE(user->CheckPassword("abc"));
    const std::string stored = user->ReadString("Password");
    EXPECT_TRUE(stored.starts_with("PBKDF2-SHA256$")) << stored;
    EXPECT_TRUE(hasLine(readFile(data("Ann.usr")), "Password=" + stored)) << "saved at once";
  }
  auto again = OpenUser("Ann", -1, ulRead, true);
  EXPECT_TRUE(again->CheckPassword("abc"));
  EXPECT_FALSE(again->CheckPassword("abd"));
  // A learner only read (the monitor's look) checks without writing.
  writeFile(data("Bob.usr"), "UserName=Bob\r\nPassword=8EB208F7E05D98\r\n");
  EXPECT_TRUE(OpenUser("Bob", -1, ulRead, true)->CheckPassword("abc"));
  EXPECT_TRUE(hasLine(readFile(data("Bob.usr")), "Password=8EB208F7E05D98"));
}

// Learner and group files hold password digests and progress: not for every account of the
// computer, but for the group of a folder a school shares through its group.
TEST_F(Learners, LearnerAndGroupFilesAreNotReadableByEveryone) {
  const auto modeOf = [](const fs::path& file) {
    return static_cast<unsigned>(fs::status(file).permissions()) & 0777u;
  };
  const mode_t old = ::umask(0);
  fs::permissions(data(""), fs::perms(0755));
  SaveUser(*NewUser("Ann"));
  EXPECT_EQ(modeOf(data("Ann.usr")), 0600u);
  OpenGroup(3, omShared);
  EXPECT_EQ(modeOf(root("3.grp")) & 0007u, 0u);
  fs::permissions(data(""), fs::perms(02770));
  SaveUser(*NewUser("Bob"));
  EXPECT_EQ(modeOf(data("Bob.usr")), 0660u);
  // Other files keep the umask's say.
  EXPECT_EQ(modeOf(data("Bob.DTA")) & 0004u, 0004u);
  ::umask(old);
}

TEST_F(Learners, FileNamesComeFromCleanedNames) {
  EXPECT_EQ(CleanUserName("Ann-Marie O.Brien"), "Ann-marie O brien");
  EXPECT_EQ(CleanUserName("  bob,,smith. "), "Bob Smith");
  EXPECT_EQ(CleanUserName("../../etc/passwd"), "Etcpasswd");
  // Kept, lower-cased by 1252 rules, not capitalised: message 13 does not list it here.
  EXPECT_EQ(CleanUserName("\xD6STEN"), "\xF6sten");
  EXPECT_EQ(SafeFileName("../host/x y"), "___host_x_y");

  NewUser("Ann-Marie O.Brien");
  EXPECT_TRUE(fs::exists(data("Ann-marie O brien.usr")));
  EXPECT_EQ(openError("%%%", ulWrite), "Unusable name.");
}

TEST_F(Learners, TheGuestNeverMeetsALearnerCalledVisitor) {
  NewUser("Visitor");
  auto guest = OpenUser("", -1, ulWrite, true);
  EXPECT_TRUE(guest->IsGuest());
  EXPECT_EQ(guest->UserName(), "Visitor%%");
  EXPECT_TRUE(fs::exists(data("visitor%%.usr")));
  EXPECT_EQ(SaveUser(*guest), 1);
  guest.reset();
  // The guest is never saved and never listed.
  EXPECT_EQ(readFile(data("visitor%%.usr")).find("ReCnt"), std::string::npos);
  EXPECT_EQ(readFile(data("Visitor.usr")).find("Visitor%%"), std::string::npos);
}

TEST_F(Learners, NewLearnersStartWithTheirDefaults) {
  policy("Sounds=1\r\n");
  auto user = NewUser("Ann");
  ASSERT_EQ(SaveUser(*user), 1);
  const std::string text = readFile(data("Ann.usr"));
  for (const char* line :
       {"UserName=Ann", "FileVersion=600", "LargeFonts=0", "StoryTime=10 min", "Sounds=1",
        "ThemeSound=0", "NotifyWhenBreak=0", "BreakTrackBar.position=8", "InfoWinTop=338",
        "InfoWinLeft=313", "InfoWinWidth=195", "InfoWinHeight=113", "InfoWinVisible=0",
        "AppListMode=1", "AutoIncludeMode=1", "NotifyWhenDifficulties=1", "NotifyAfterPages=1",
        "PagesTrackBar.position=5"})
    EXPECT_TRUE(hasLine(text, line)) << line;
  EXPECT_FALSE(user->ReadString("DateStarted").empty());
  EXPECT_GT(user->ReadFloat("Date.Created"), 40000);

  // The statistics file: six 255s, format 6, the lesson and monitor key statistics, no words.
  const std::string dta = readFile(data("Ann.DTA"));
  ASSERT_EQ(dta.size(), 28 + 2 * TDifficultKeys::RecordSize);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(getInt32LE(std::string_view(dta).substr(i * 4)), 255);
  EXPECT_EQ(dta.substr(24, 4), std::string("\x06\0\0\0", 4));
}

TEST_F(Learners, NamesIgnoreCaseButTwoNamesCannotShareAFile) {
  NewUser("BOB");
  auto again = OpenUser("bob", -1, ulWrite, true);
  EXPECT_EQ(again->UserName(), "bob");
  again.reset();
  NewUser("Ann Marie");
  // "Ann, Marie" is cleaned to the same file, which belongs to another spelling.
  EXPECT_EQ(openError("Ann, Marie", ulWrite), "Name used by Ann Marie");
  EXPECT_EQ(openError("Ann", 3), "Internal lockmode error in user class");
}

TEST_F(Learners, ALearnerHeldByAnotherProcessCannotBeOpenedForWriting) {
  NewUser("Ann");
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(ready[0]);
    close(release[1]);
    int code = 0;
    try {
      auto held = OpenUser("Ann", -1, ulWrite, false);
      (void)!write(ready[1], "x", 1);
      char c;
      (void)!read(release[0], &c, 1);  // until the parent closes its end
    } catch (...) {
      code = 1;
    }
    _exit(code);
  }
  close(ready[1]);
  close(release[0]);
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  EXPECT_EQ(openError("Ann", ulWrite), "Already logged in.");
  EXPECT_EQ(openError("Ann", ulExclusive), "Already logged in.");
  EXPECT_EQ(openError("Ann", ulRead), "opened");  // reports may still read
  close(release[1]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(openError("Ann", ulWrite), "opened");
}

TEST_F(Learners, GroupsLocksAndPrecedence) {
  writeFile(root("0.grp"), "Name=Class A\r\nColor=green\r\nSpeed=40\r\nSpeed.locked=1\r\n");
  {
    auto user = NewUser("Ann");
    user->SetGroupId(7);  // a group that does not exist
    user->WriteString("Color", "red");
    user->WriteString("Speed", "10");
    SaveUser(*user);
  }
  policy("Sounds=0\r\nSounds.locked=1\r\nLevel=3\r\n");
  auto user = OpenUser("Ann", -1, ulWrite, true);
  EXPECT_EQ(user->GroupId(), 0);  // moved to group 0 on login
  EXPECT_EQ(user->GroupName(), "Class A");
  user->WriteString("Sounds", "1");
  EXPECT_EQ(user->GetSetting("Sounds", 0), "0");  // the policy's lock wins
  EXPECT_TRUE(user->IsLocked("Sounds"));
  EXPECT_EQ(user->GetSettingInt("Speed", 0), 40);  // the group's lock
  EXPECT_EQ(user->GetSetting("Color", 0), "red");
  EXPECT_EQ(user->GetSetting("Color", 2), "green");
  EXPECT_EQ(user->GetSetting("Level", 1), "3");  // the learner has none: the policy's
  EXPECT_EQ(user->GetSettingInt("Nothing", 1), 0);
  EXPECT_FALSE(user->GetSettingBool("Sounds", 0));

  // Without a group store the policy's lock still holds.
  fs::remove(root("0.grp"));
  auto alone = OpenUser("Bob", -1, ulWrite, true);
  alone->WriteString("Sounds", "1");
  EXPECT_EQ(alone->GroupName(), "none");
  EXPECT_EQ(alone->GetSetting("Sounds", 1), "0");
  EXPECT_EQ(alone->GetSetting("Level", 1), "");
}

TEST_F(Learners, KeyGroupsAndLevels) {
  auto user = OpenUser("Ann", -1, ulWrite, true);
  EXPECT_EQ(user->KeysUpTo(3), Localize().GetString(12));
  CurrentLayout().SemicolonKey = '\0';
  EXPECT_EQ(user->AddKeyGroup("fj"), 1);
  EXPECT_EQ(user->AddKeyGroup("dk"), 2);
  EXPECT_EQ(user->AddKeyGroup("lSEMICOLON", '\xF6'), 3);
  EXPECT_EQ(user->KeysUpTo(5), "fjdkl\xF6");
  EXPECT_EQ(user->KeysUpTo(2), "fjdk");
  EXPECT_EQ(user->KeyGroup(3), "l\xF6");
  EXPECT_EQ(user->KeyGroup(4), "");
  EXPECT_EQ(user->AddKeyGroup("SEMICOLON"), 4);  // the layout has no substitute
  EXPECT_EQ(user->KeyGroup(4), ";");
  user->AddKeyGroup(std::string(300, 'a'));
  EXPECT_EQ(user->KeysUpTo(5).size(), 255u);
  user->RaiseKeyLevel(3);
  user->RaiseKeyLevel(2);
  EXPECT_EQ(user->KeyLevel(), 3);
  user->ResetKeyLevel();
  EXPECT_EQ(user->KeyLevel(), 1);
}

TEST_F(Learners, TheLayoutFollowsTheLearnersChoice) {
  auto user = OpenUser("Ann", -1, ulWrite, true);
  EXPECT_EQ(user->LayoutFileName(), "qwerty.kbd");
  EXPECT_LT(user->LoadUserLayout(), 0);
  ASSERT_FALSE(boxes_.boxes.empty());
  EXPECT_NE(boxes_.boxes.back().text.find("qwerty.kbd not found!"), std::string::npos);
}

TEST_F(Learners, StudiedTime) {
  auto user = OpenUser("Ann", -1, ulWrite, true);
  user->WriteInteger("TimeStudied", 3930);  // 65.5 minutes: rounds to even
  EXPECT_EQ(user->StudiedTimeText(), "1 h 6 min");
  EXPECT_EQ(user->StudiedTimeClock(), "01:06");
  user->WriteInteger("TimeStudied", 90);
  EXPECT_EQ(user->StudiedTimeText(), "2 min");
}

TEST_F(Learners, SavingNeedsTheDataFolder) {
  auto user = OpenUser("Ann", -1, ulWrite, false);
  fs::rename(dir_ / "Database", dir_ / "Moved");
  EXPECT_EQ(SaveUser(*user), 0);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, "No data folder.");
}

TEST_F(Learners, WorkstationNamesAreSafeFileNames) {
  setenv("KEYSCHOLAR_WORKSTATION", "../up/..", 1);
  EXPECT_EQ(WorkstationName(), "___up___");
  unsetenv("KEYSCHOLAR_WORKSTATION");
  const std::string host = WorkstationName();
  EXPECT_EQ(host.find_first_of("./ "), std::string::npos);
  EXPECT_EQ(host, upperCase(host));
}

}  // namespace
}  // namespace ks
