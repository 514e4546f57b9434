#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "content/builderevent.h"
#include "content/contents.h"
#include "content/coursefakes.h"
#include "engine/ui/builderview.h"
#include "engine/ui/viewfactory.h"
#include "games/ui/registergames.h"
#include "platform/random.h"
#include "typingtest/ui/typingtest.h"

namespace ks {
namespace {

// Every line of the shipped courses makes its event with the views the tutor registers, so no
// exercise is passed over as having nothing to run and a learner can finish a course.
TEST(ShippedCourses, EveryEventLineCreatesItsEvent) {
  registerGames();
  registerTestEvent();
  registerBuilderEvent([] {
    static SeededRandom random;
    BuilderEventServices s;
    s.Rng = &random;
    return s;
  });
  ViewEventFactory factory;
  test::FakeLearner learner;
  test::FakeKeyboard keyboard;
  test::ScopedPolicy policy;
  const CourseServices services{&learner, &keyboard};
  const auto lessons = std::filesystem::path(KS_BINARY_DIR) / "share" / "keyscholar" / "lessons";
  int courses = 0, lines = 0;
  std::set<std::string> games, skipped;
  for (const auto& entry : std::filesystem::directory_iterator(lessons)) {
    if (entry.path().extension() != ".cnt") continue;
    TContents course(entry.path().string(), -1, 0, services);
    ASSERT_EQ(course.Status(), 0) << entry.path();
    ++courses;
    for (const auto& lesson : course.Lessons) {
      for (const auto& exercise : lesson->Exercises) {
        for (const auto& event : exercise->Events) {
          const EventKeyword* kw = FindEventKeyword(event->Keyword());
          ASSERT_NE(kw, nullptr) << event->Line();
          ++lines;
          if (kw->GameName[0] != '\0') games.insert(kw->Keyword);
          if (kw->ClassName[0] == '\0' || !factory.Create(*kw, event->Line()))
            skipped.insert(kw->Keyword);
        }
      }
    }
  }
  EXPECT_EQ(courses, 5) << "English (US, Dvorak, Colemak), German and Italian";
  EXPECT_GT(lines, 500);
  EXPECT_EQ(games, (std::set<std::string>{"ABC", "BUBBLES", "CLOUDS", "WORDTRIS"}));
  EXPECT_EQ(skipped, std::set<std::string>{});
}

}  // namespace
}  // namespace ks
