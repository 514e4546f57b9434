// The shipped courses load with the tutor's own readers without a single complaint, every drill
// uses only keys its lesson has taught, and the course teaches every key of its layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "analysis/keydataext.h"
#include "content/contents.h"
#include "content/coursefakes.h"
#include "content/layoutkeyboard.h"
#include "engine/eventtext.h"
#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "shippedcontent.h"
#include "store/recordingdialogs.h"
#include "text/fields.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks {
namespace {

using test::kShippedRoot;

// Keywords whose text is instructions to read rather than keys to type.
bool typesNothing(const std::string& keyword) {
  return keyword == "MESSAGE" || keyword == "HTMLMESSAGE" || keyword == "BUILDER" ||
         keyword == "TEST";
}

// The attribution line of a text: shown under it, never typed.
bool isAttribution(const std::string& line) {
  return line.size() >= 5 && line.compare(0, 5, "\"\xA4|w\"") == 0;
}

class ShippedCourse : public ::testing::TestWithParam<test::ShippedCourse> {
 protected:
  void SetUp() override {
    policy_->WriteBool("DisableWindowsLayouts", true);
    learner_.layoutFile = GetParam().layout;
    course_ = std::make_unique<TContents>((kShippedRoot / "lessons" / GetParam().file).string(), -1,
                                          0, services_);
  }

  // What the event puts in front of the learner, with ";" as the drills see it.
  std::string eventText(const TEventLoader& event, char semicolonChar) {
    const std::vector<std::string> fields = event.EventFields();
    const std::string& kw = event.Keyword();
    if (kw == "KEYINTRO") return fields.size() > 4 ? fields[4] : "";
    if ((kw == "BUBBLES" || kw == "ABC") && fields.size() > 4 && fields[3] == "keys")
      return fields[4];
    if (fields.size() < 4) return "";
    if ((kw == "CLOUDS" || kw == "WORDTRIS") && findText(fields[3], ".vcb") != std::string::npos) {
      std::vector<std::string> words;
      EXPECT_EQ(TStreamFile::ReadAllLines(words, (kShippedRoot / fields[3]).string()), fsOk)
          << fields[3];
      std::string all;
      for (const std::string& w : words) all += std::string(trimBlanks(w)) + " ";
      return all;
    }
    EventTextContext ctx;
    ctx.coursesFolder = kShippedRoot / "lessons";
    ctx.semicolonChar = semicolonChar;
    ctx.homeRow = layout_.HomeRow;
    // The builders draw on what the learner knows; here they hand back the keys they were
    // asked for, which must be known themselves.
    ctx.keyBuilder = [](const std::string& keys) { return keys; };
    ctx.wordBuilder = [](const std::string& keys) { return keys; };
    ctx.report = [&](int code, const std::string& text) {
      ADD_FAILURE() << event.Line() << ": " << code << " " << text;
    };
    const auto text = loadEventText(fields[3], ctx);
    if (!text) return "";
    std::string typed;
    for (const std::string& line : splitLines(*text)) {
      if (!isAttribution(line)) typed += line + "\n";
    }
    return typed;
  }

  test::ScopedPolicy policy_;
  test::RecordingDialogs boxes_;
  test::FakeLearner learner_;
  TKeyDataExt layout_;
  LayoutKeyboard keyboard_{layout_, kShippedRoot / "keyboards"};
  CourseServices services_{&learner_, &keyboard_};
  std::unique_ptr<TContents> course_;
};

TEST_P(ShippedCourse, LoadsWithoutASingleComplaint) {
  ASSERT_EQ(course_->Status(), 0);
  EXPECT_FALSE(course_->LayoutFailed());
  for (const auto& box : boxes_.boxes) ADD_FAILURE() << box.caption << ": " << box.text;
  for (const auto& p : course_->Problems()) ADD_FAILURE() << p.Code << " " << p.Text;
  EXPECT_EQ(course_->CourseLanguage, GetParam().language);
  EXPECT_FALSE(course_->Description.empty());
  EXPECT_FALSE(course_->WizardName.empty());
  EXPECT_EQ(course_->AccuracyGoals.size(), 3u) << "one goal per goal level";
  ASSERT_GE(course_->Lessons.size(), 12u);
  const auto layoutBase = upperCase(layout_.MaterialName);
  EXPECT_NE(course_->KeyboardBase.find(layoutBase), std::string::npos)
      << "the course must suit the layout it is written for";

  for (const auto& lesson : course_->Lessons) {
    SCOPED_TRACE("lesson " + std::to_string(lesson->Number));
    EXPECT_FALSE(lesson->Name.empty());
    ASSERT_FALSE(lesson->Exercises.empty());
    for (const auto& ex : lesson->Exercises) {
      EXPECT_FALSE(ex->Type.empty());
      ASSERT_FALSE(ex->Events.empty());
      for (const auto& ev : ex->Events) {
        EXPECT_TRUE(CreatesEvent(ev->Keyword())) << ev->Line();
        EXPECT_FALSE(ev->WeightMalformed()) << ev->Line();
        if (ev->Keyword() == "HTMLMESSAGE") {
          const fs::path page = resolveCaseInsensitive(kShippedRoot / "lessons" /
                                                       pathFrom1252(ev->EventFields().at(3)));
          EXPECT_TRUE(fs::exists(page)) << ev->Line();
        }
      }
    }
  }
  // The last lesson ends the course with an exam.
  const auto& last = course_->Lessons.back()->Exercises.back()->Events.back();
  EXPECT_EQ(last->Keyword().compare(0, 4, "EXAM"), 0) << last->Line();
}

TEST_P(ShippedCourse, EveryDrillUsesOnlyKeysTaughtSoFar) {
  ASSERT_EQ(course_->Status(), 0);
  const char semicolonChar = layout_.SemicolonKey;
  for (const auto& lesson : course_->Lessons) {
    for (const auto& ex : lesson->Exercises) {
      ASSERT_GT(ex->KeyLevel, 0);
      const std::string known = learner_.KeysUpTo(ex->KeyLevel) + " \r\n";
      for (const auto& ev : ex->Events) {
        if (typesNothing(ev->Keyword())) continue;
        const bool drill = ev->Keyword() == "KEY2" || ev->Keyword() == "KEYINTRO";
        const std::string text = eventText(*ev, drill ? semicolonChar : '\0');
        EXPECT_FALSE(text.empty()) << ev->Line();
        std::set<char> unknown;
        for (char c : text) {
          if (known.find(c) == std::string::npos) unknown.insert(c);
        }
        EXPECT_TRUE(unknown.empty())
            << "lesson " << lesson->Number << ", exercise " << ex->Number << ": " << ev->Line()
            << " uses " << std::string(unknown.begin(), unknown.end());
      }
    }
  }
}

TEST_P(ShippedCourse, TeachesEveryPrintableKeyOfItsLayout) {
  ASSERT_EQ(course_->Status(), 0);
  const std::string taught = learner_.KeysUpTo(99);
  std::string missing;
  for (const auto& key : layout_.Keys) {
    if (key->Kind != KeyKind::Key) continue;
    for (int slot : {0, 1}) {
      const std::string& c = key->Chars[slot];
      if (c.size() != 1 || static_cast<unsigned char>(c[0]) <= ' ') continue;
      if (taught.find(c[0]) == std::string::npos) missing += c;
    }
  }
  EXPECT_EQ(missing, "");
  // Each key is introduced once: a second introduction would split its level.
  std::string sorted = taught;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << taught;
}

INSTANTIATE_TEST_SUITE_P(Courses, ShippedCourse, ::testing::ValuesIn(test::shippedCourses()),
                         [](const auto& info) {
                           return info.param.file.substr(0, info.param.file.find('.'));
                         });

// Between them the courses show the learner every kind of event the tutor has.
TEST(ShippedCourses, UseEveryEventKind) {
  test::ScopedPolicy policy;
  test::RecordingDialogs boxes;
  std::set<std::string> used;
  for (const auto& c : test::shippedCourses()) {
    TContents course(TContents::PreviewTag{}, (kShippedRoot / "lessons" / c.file).string(), {});
    ASSERT_EQ(course.Status(), 0) << c.file;
    for (const auto& lesson : course.Lessons) {
      for (const auto& ex : lesson->Exercises) {
        for (const auto& ev : ex->Events) used.insert(ev->Keyword());
      }
    }
  }
  for (const EventKeyword& kw : EventKeywords()) {
    if (CreatesEvent(kw.Keyword)) {
      EXPECT_TRUE(used.count(kw.Keyword)) << kw.Keyword;
    }
  }
}

}  // namespace
}  // namespace ks
