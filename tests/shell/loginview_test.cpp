// The login view driven as a learner would: groups, names, new learners and passwords, with
// the checks it makes before it lets a learner in.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "shell/loginview.h"
#include "store/group.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"
#include "store/user.h"
#include "store/userindex.h"
#include "support/booktest.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::writeFile;

class LoginTest : public test::BookWindowTest {
 protected:
  void SetUp() override {
    BookWindowTest::SetUp();
    std::filesystem::create_directories(dir_ / "Database");
    TLocalize& lang = Localize();
    const std::pair<int, const char*> texts[] = {
        {1, "Tutor"},
        {12, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {13, "abcdefghijklmnopqrstuvwxyz"},
        {415, "No name."},
        {416, "No password."},
        {417, "Cannot open "},
        {418, "."},
        {419, "Wrong password."},
        {420, "Unknown name."},
        {421, "Make "},
        {422, " a learner?"},
        {423, "Passwords differ."},
        {424, "There is "},
        {425, " already."},
        {726, "All groups"},
        {1909, "Type a name"},
        {1107, "none"},
        {1162, "General"}};
    for (auto [id, text] : texts) lang.SetString(id, text);
    policy("");
    ProgramSettings = std::make_unique<TProgramSettings>(dir_.path());
  }
  void TearDown() override {
    ProgramSettings.reset();
    PolicySettings.reset();
    Localize().Reset();
  }
  void policy(const std::string& text) {
    writeFile(dir_ / "Policy.dyn", text);
    OpenPolicySettings("Policy.dyn", dir_.path());
  }
  void learner(const char* name, int group, const char* password = "") {
    auto user = NewUser(name);
    user->SetGroupId(group);
    if (*password) user->SetPassword(password);
    SaveUser(*user);
  }
  template <typename T>
  T* find(const char* name) {
    return window_.findChild<T*>(name);
  }
  void enter(const char* button = "EnterBtn") { find<QPushButton>(button)->click(); }
  void text(const char* edit, const QString& value) { find<QLineEdit>(edit)->setText(value); }
  // Runs the view with `steps`, one per turn of its loop, so each close check happens between
  // them; returns the close result. After the last step, or one that failed, the view is closed
  // with 2, so a test that goes wrong fails instead of waiting for ever.
  int run(std::vector<std::function<void()>> steps) {
    steps_ = std::move(steps);
    step(0);
    const int result = view_.RunModal();
    ++runs_;
    return result;
  }
  void step(size_t i) {
    if (i >= steps_.size() || HasFatalFailure()) {
      QTimer::singleShot(2000, &view_, [this, run = runs_] {
        if (run == runs_) view_.SetCloseResult(2);
      });
      return;
    }
    QTimer::singleShot(10, &view_, [this, i] {
      steps_[i]();
      step(i + 1);
    });
  }
  // The texts of the boxes shown, in order.
  std::vector<std::string> boxes() const { return boxes_.texts(); }

  test::TempDir dir_;
  test::RecordingDialogs boxes_;
  TLoginView view_;
  std::vector<std::function<void()>> steps_;
  int runs_ = 0;
};

// The combo lists "all", the groups, then "type a name"; each group shows its own learners,
// the last one included.
TEST_F(LoginTest, EachGroupListsItsOwnLearners) {
  writeFile(dir_ / "0.grp", "Name=Everyone\r\n");
  writeFile(dir_ / "1.grp", "Name=Day class\r\n");
  writeFile(dir_ / "2.grp", "Name=Evening class\r\n");
  learner("Ann", 1);
  learner("Bea", 2);
  learner("Carl", 0);
  RebuildIndexes();
  const auto names = [this] {
    QStringList out;
    auto* list = find<QListWidget>("NameList");
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    out.sort();
    return out;
  };
  EXPECT_EQ(run({[&] {
              auto* groups = find<QComboBox>("GroupList");
              ASSERT_TRUE(groups);
              ASSERT_EQ(groups->count(), 5);
              EXPECT_EQ(groups->currentIndex(), 4);
              EXPECT_TRUE(names().isEmpty());
              groups->setCurrentIndex(0);
              EXPECT_EQ(names(), (QStringList{"Ann", "Bea", "Carl"}));
              groups->setCurrentIndex(1);
              EXPECT_EQ(names(), QStringList{"Carl"});
              groups->setCurrentIndex(2);
              EXPECT_EQ(names(), QStringList{"Ann"});
              groups->setCurrentIndex(3);  // the last group
              EXPECT_EQ(names(), QStringList{"Bea"});
              find<QListWidget>("NameList")->setCurrentRow(0);
              enter();
            }}),
            1);
  EXPECT_TRUE(boxes().empty()) << boxes().front();
  auto bea = view_.TakeUser();
  ASSERT_TRUE(bea);
  EXPECT_EQ(bea->UserName(), "Bea");
}

TEST_F(LoginTest, NamesAreCheckedBeforeALearnerIsLetIn) {
  learner("Ann", 0);
  boxes_.answer = false;
  EXPECT_EQ(run({[&] { enter(); },  // no name
                 [&] {
                   text("NameEdit", "  zoe   ann ");
                   enter();  // unknown, and the learner says no
                 },
                 [&] {
                   boxes_.answer = true;
                   enter();  // yes: made
                 }}),
            1);
  EXPECT_EQ(boxes(), (std::vector<std::string>{"No name.", "Make Zoe Ann a learner?",
                                               "Make Zoe Ann a learner?"}));
  EXPECT_EQ(view_.TakeUser()->UserName(), "Zoe Ann");
  EXPECT_TRUE(FindUser("Zoe Ann", -1, ulRead, true));

  // A school that adds learners itself: no question, and nobody new.
  policy("PreventNewUsers=1\r\n");
  boxes_.boxes.clear();
  TLoginView closed;
  QTimer::singleShot(10, [&] {
    find<QLineEdit>("NameEdit")->setText("Nobody");
    enter();
    QTimer::singleShot(10, [&] { closed.SetCloseResult(2); });
  });
  EXPECT_EQ(closed.RunModal(), 2);
  EXPECT_EQ(boxes(), std::vector<std::string>{"Unknown name."});
  EXPECT_FALSE(FindUser("Nobody", -1, ulRead, true));
}

TEST_F(LoginTest, PasswordsAreCheckedAndSetWhereMissing) {
  policy("RequirePasswords=1\r\n");
  learner("Ann", 0, "secret");
  learner("Bea", 0);
  EXPECT_EQ(run({[&] {
                   text("NameEdit", "Ann");
                   text("PasswordEdit", "guess");
                   enter();
                 },
                 [&] {
                   EXPECT_TRUE(find<QLineEdit>("PasswordEdit")->text().isEmpty());
                   text("PasswordEdit", "secret");
                   enter();
                 }}),
            1);
  EXPECT_EQ(view_.TakeUser()->UserName(), "Ann");
  EXPECT_EQ(boxes(), std::vector<std::string>{"Wrong password."});

  // A learner without a password gets one, typed twice alike.
  boxes_.boxes.clear();
  EXPECT_EQ(run({[&] {
                   text("NameEdit", "Bea");
                   enter();
                 },
                 [&] {
                   EXPECT_EQ(view_.Mode, 3);
                   enter("EnterBtn2");  // empty
                 },
                 [&] {
                   text("NewPasswordEdit", "one");
                   text("NewPasswordEdit2", "two");
                   enter("EnterBtn2");
                 },
                 [&] {
                   text("NewPasswordEdit", "same");
                   text("NewPasswordEdit2", "same");
                   enter("EnterBtn2");
                 }}),
            1);
  EXPECT_EQ(boxes(), (std::vector<std::string>{"No password.", "Passwords differ."}));
  EXPECT_TRUE(view_.TakeUser()->CheckPassword("same"));

  // A new name leads to the new-learner page, where the password is set.
  boxes_.boxes.clear();
  EXPECT_EQ(run({[&] {
                   text("NameEdit", "Cid");
                   enter();  // yes, make Cid
                 },
                 [&] {
                   EXPECT_EQ(view_.Mode, 2);
                   EXPECT_EQ(find<QLineEdit>("NewNameEdit")->text(), "Cid");
                   text("NewNameEdit", "Ann");  // taken
                   text("NewPasswordEdit", "pw");
                   text("NewPasswordEdit2", "pw");
                   enter("EnterBtn2");
                 },
                 [&] {
                   text("NewNameEdit", "Cid");
                   enter("EnterBtn2");
                 }}),
            1);
  EXPECT_EQ(boxes(), (std::vector<std::string>{"Make Cid a learner?", "There is Ann already."}));
  EXPECT_TRUE(view_.TakeUser()->CheckPassword("pw"));
}

// Registering into a group takes the group's messages and tests at once; the first password
// page asks for nothing but the password; a name typed for one group goes with another group.
TEST_F(LoginTest, ANewLearnerIsInTheGroupAtOnceAndThePasswordPageAsksOnlyForIt) {
  writeFile(dir_ / "0.grp", "Name=Everyone\r\n");
  writeFile(dir_ / "1.grp", "Name=Day class\r\nMessage=Welcome, day class\r\nMessageID=7\r\n");
  EXPECT_EQ(run({[&] {
                   text("NameEdit", "Zed");
                   find<QComboBox>("GroupList")->setCurrentIndex(0);
                   EXPECT_TRUE(find<QLineEdit>("NameEdit")->text().isEmpty());
                   text("NameEdit", "Dan");
                   enter();  // yes, make Dan
                 },
                 [&] {
                   EXPECT_EQ(view_.Mode, 2);
                   EXPECT_EQ(QApplication::focusWidget(), find<QComboBox>("NewGroupCombo"))
                       << "the group is what is left to choose";
                   find<QComboBox>("NewGroupCombo")->setCurrentIndex(1);
                   enter("EnterBtn2");
                 }}),
            1);
  auto dan = view_.TakeUser();
  ASSERT_TRUE(dan && dan->Group());
  EXPECT_EQ(dan->Group()->ReadString("Message"), "Welcome, day class");

  policy("RequirePasswords=1\r\n");
  learner("Bea", 0);
  EXPECT_EQ(run({[&] {
                   text("NameEdit", "Bea");
                   enter();
                 },
                 [&] {
                   EXPECT_EQ(view_.Mode, 3);
                   EXPECT_FALSE(find<QLabel>("NewNameLbl")->isVisible());
                   EXPECT_FALSE(find<QLineEdit>("NewNameEdit")->isVisible());
                   EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>("NewPasswordEdit"));
                   text("NewPasswordEdit", "one");
                   text("NewPasswordEdit2", "two");
                   enter("EnterBtn2");
                 },
                 [&] {
                   EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>("NewPasswordEdit"));
                   text("NewPasswordEdit", "same");
                   text("NewPasswordEdit2", "same");
                   enter("EnterBtn2");
                 }}),
            1);
}

// A new learner of a group is saved even when the group's list cannot be written, and told so.
TEST_F(LoginTest, ANewLearnerIsToldWhenTheGroupListCannotBeWritten) {
  Localize().SetString(2602, "The group list was not updated: ");
  writeFile(dir_ / "0.grp", "Name=Everyone\r\n");
  writeFile(dir_ / "1.grp", "Name=Day class\r\n");
  std::filesystem::create_directories(dir_ / "Database" / "1.idx");  // in the way of the list
  EXPECT_EQ(run({[&] {
                   find<QComboBox>("GroupList")->setCurrentIndex(0);
                   text("NameEdit", "Dan");
                   enter();  // yes, make Dan
                 },
                 [&] {
                   find<QComboBox>("NewGroupCombo")->setCurrentIndex(1);
                   enter("EnterBtn2");
                 }}),
            1);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "Database" / "Dan.usr"));
  EXPECT_EQ(boxes(), (std::vector<std::string>{"Make Dan a learner?",
                                               "The group list was not updated: Is a directory."}));
}

}  // namespace
}  // namespace ks
