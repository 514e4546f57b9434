// What the running tutor gives lesson events: the studying screens install the learner's drill
// builders and the error reports that event texts make.
#include <gtest/gtest.h>

#include <cstdlib>

#include "analysis/keydataext.h"
#include "book/bookwindow.h"
#include "content/ui/studyingparts.h"
#include "engine/eventtext.h"
#include "engine/ui/eventenv.h"
#include "shell/appframe.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"
#include "store/user.h"
#include "support/tempdir.h"

namespace ks {
namespace {

TEST(StudyingParts, LessonEventsGetTheLearnersDrillBuildersAndErrorReports) {
  test::TempDir home;
  ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
  test::RecordingDialogs boxes;
  const std::filesystem::path installation =
      std::filesystem::path(KS_BINARY_DIR) / "share" / "keyscholar";
  Localize().SetFolder(installation);
  ASSERT_EQ(Localize().LoadLanguage(LanguageBaseName, 1), 0);
  ProgramSettings = std::make_unique<TProgramSettings>(installation);
  ASSERT_TRUE(OpenPolicySettings("Policy.dyn", ProgramSettings->rootPath()));
  LoadUserLayout(CurrentLayout(), "qwerty.kbd");
  auto user = NewUser("Ann");
  TBookFormEx window;
  TAppFrame frame(window, StartOptions{});
  {
    StudyingScreensQt screens(frame, *user);
    screens.InstallEventServices();
    const EventTextContext& text = eventEnvironment().text;
    const auto keys = loadEventText("KEYBUILDER:ghto", text);
    ASSERT_TRUE(keys);
    EXPECT_NE(keys->find_first_of("ghto"), std::string::npos) << *keys;
    const auto words = loadEventText("WORDBUILDER:fjdkasleiru", text);
    ASSERT_TRUE(words);
    EXPECT_FALSE(words->empty());
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
    // A missing text is told and logged, and the event goes on with a stand-in.
    EXPECT_EQ(loadEventText("FILE:missing.txt", text), "File not found");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("#-501"), std::string::npos);
    EXPECT_NE(test::readFile(ProgramSettings->dataPath() / "Errors.log").find("missing.txt"),
              std::string::npos);
  }
  // The builders belonged to the screens, which are gone.
  EXPECT_FALSE(eventEnvironment().text.keyBuilder);
  user.reset();
  eventEnvironment() = EventEnvironment{};
  PolicySettings.reset();
  ProgramSettings.reset();
}

}  // namespace
}  // namespace ks
