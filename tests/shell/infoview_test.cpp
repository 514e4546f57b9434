// The Info page worked by keyboard alone: what it names, and what its links open.
#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "book/programinfo.h"
#include "shell/infoview.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"
#include "support/booktest.h"
#include "support/tempdir.h"

namespace ks {
namespace {

class InfoTest : public test::BookWindowTest {
 protected:
  void SetUp() override {
    BookWindowTest::SetUp();
    // The captions and letters this test presses are the English ones, whatever language a
    // test before it in the same run chose.
    ActiveLanguage = "ENG";
    Localize().SetFolder(std::filesystem::path(KS_BINARY_DIR) / "share" / "keyscholar");
    ASSERT_EQ(Localize().LoadLanguage("language", 1), 0);
    ASSERT_TRUE(boxes_.boxes.empty());
  }
  void TearDown() override {
    PolicySettings.reset();
    Localize().Reset();
  }
  template <typename T>
  T* find(const char* name) {
    return window_.findChild<T*>(name);
  }
  // What the desktop was asked to open: offscreen there is no desktop to open it, and the
  // failure names the target.
  std::string opened() {
    // A mnemonic presses its button a moment later, as a click would look.
    (void)QTest::qWaitFor([&] { return !boxes_.boxes.empty(); }, 1000);
    const std::string last = boxes_.boxes.empty() ? "" : boxes_.boxes.back().text;
    boxes_.boxes.clear();
    return last;
  }

  test::RecordingDialogs boxes_;
};

TEST_F(InfoTest, NamesTheProgramAndOpensItsManualsAndFoldersFromTheKeyboard) {
  TInfoView view;
  later([&] {
    EXPECT_EQ(find<QLabel>("ProductLbl")->text(), "Quillstroker");
    EXPECT_TRUE(find<QLabel>("VersionLbl")->text().endsWith(kVersion));
    EXPECT_FALSE(find<QLabel>("LicenceLbl")->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("ManualBtn1"));
    key(Qt::Key_M, Qt::AltModifier);
    EXPECT_NE(opened().find("manual/user-manual.htm"), std::string::npos);
    key(Qt::Key_C, Qt::AltModifier);
    EXPECT_NE(opened().find("manual/schools.htm"), std::string::npos);
    key(Qt::Key_D, Qt::AltModifier);
    EXPECT_NE(opened().find(TInfoView::DataFolder().lexically_normal().string()),
              std::string::npos);
    // Tab walks the links from the first, down the page; Space opens the one with the focus.
    for (int i = 0; i < 4; ++i) key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("OpenInstallationBtn"));
    key(Qt::Key_Space);
    EXPECT_NE(opened().find(TInfoView::InstallationFolder().lexically_normal().string()),
              std::string::npos);
    key(Qt::Key_Escape);
  });
  EXPECT_EQ(view.RunModal(), 2);

  // The typing-test edition has no manuals: its links lead to the web, unless the policy
  // removes web links.
  test::TempDir dir;
  test::writeFile(dir / "Policy.dyn", "RemoveInternetLinks=1\r\n");
  OpenPolicySettings("Policy.dyn", dir.path());
  TInfoView edition(true);
  later([&] {
    EXPECT_EQ(find<QLabel>("ProductLbl")->text(), "Quillstroker Typing Test");
    EXPECT_FALSE(find<QPushButton>("ManualBtn1")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("OpenDataBtn")->isEnabled());
    key(Qt::Key_Return);
  });
  EXPECT_EQ(edition.RunModal(), 1);
}

}  // namespace
}  // namespace ks
