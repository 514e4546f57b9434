#include <gtest/gtest.h>

#include "engine/eventtext.h"
#include "engine/goals.h"
#include "support/tempdir.h"

namespace ks {
namespace {

TEST(Goals, SpeedGoalRisesThroughTheExtraTime) {
  GoalInputs in;
  in.timeLimit = 300;
  in.baseTime = 240;
  in.notifyMargin = 10;
  in.completionSpeed = 100;
  in.speedStartGoal = 100;
  in.speedMidGoal = 150;
  in.speedFinalGoal = 200;
  for (double t : {0.0, 120.0, 239.0, 240.0}) {
    in.typingTime = t;
    EXPECT_DOUBLE_EQ(goalSpeedTarget(in), 100) << t;
  }
  in.typingTime = 255;
  EXPECT_DOUBLE_EQ(goalSpeedTarget(in), 125);
  in.typingTime = 270;
  EXPECT_DOUBLE_EQ(goalSpeedTarget(in), 150);
  in.typingTime = 290;
  EXPECT_DOUBLE_EQ(goalSpeedTarget(in), 200);
  in.typingTime = 299;
  EXPECT_DOUBLE_EQ(goalSpeedTarget(in), 200);
  in.speedMidGoal = 0;  // a missing goal makes any speed enough
  EXPECT_DOUBLE_EQ(goalSpeedTarget(in), 1);
  in.baseTime = 300;  // no extra time: the final goal throughout
  in.speedFinalGoal = 0;
  EXPECT_DOUBLE_EQ(goalSpeedTarget(in), 1);
}

TEST(Goals, AccuracyShareRunsFromTheFloorToTheGoal) {
  EXPECT_EQ(goalAccuracyShare(50, 98), 0);
  EXPECT_EQ(goalAccuracyShare(98, 98), 100);
  EXPECT_EQ(goalAccuracyShare(74, 98), 50);
  EXPECT_EQ(goalAccuracyShare(100, 98), 100);
  EXPECT_EQ(goalAccuracyShare(30, 60), 0);  // floor 30 below 75
  EXPECT_EQ(goalAccuracyShare(45, 60), 50);
  EXPECT_EQ(goalAccuracyShare(10, 20), 50);  // the floor never goes below 0
  EXPECT_EQ(goalAccuracyShare(0, 0), 100);   // no goal, no division by zero
}

TEST(Goals, ProgressIsCappedByAccuracyAndScaledByTime) {
  GoalInputs in;
  in.timeLimit = 120;
  in.baseTime = 120;
  in.goalAccuracy = 98;
  in.speedFinalGoal = 200;
  in.accuracy = 98;
  in.grossSpeed = 200;
  in.typingTime = 60;
  EXPECT_EQ(goalProgress(in), 50);
  in.typingTime = 120;
  EXPECT_EQ(goalProgress(in), 100);
  in.grossSpeed = 100;  // half the speed: (100 + 50) / 2
  EXPECT_EQ(goalProgress(in), 75);
  in.accuracy = 62;  // accuracy share 25 caps the average
  EXPECT_EQ(goalProgress(in), 25);
  // The shares are combined unrounded and truncated once: 81.25 x 50.83 / 100 = 41.3.
  in.accuracy = 89;
  in.grossSpeed = 200;
  in.typingTime = 61;
  EXPECT_EQ(goalProgress(in), 41);
  in.timeLimit = in.baseTime = 0;
  EXPECT_EQ(goalProgress(in), 0);
}

TEST(EventText, LiteralNilAndBuilders) {
  EventTextContext ctx;
  std::vector<std::string> reports;
  ctx.report = [&](int code, const std::string& text) {
    EXPECT_EQ(code, -501);
    reports.push_back(text);
  };
  ctx.homeRow = "asdfjkl;";
  EXPECT_FALSE(loadEventText("nil", ctx).has_value());
  EXPECT_EQ(loadEventText("just type this", ctx), "just type this");
  EXPECT_EQ(loadEventText("TOUCHING:homerow", ctx), "asdf asdf jkl; jkl; asdfjkl; asdfjkl;");
  EXPECT_EQ(loadEventText("touching:fj", ctx), "fj");
  EXPECT_EQ(loadEventText("KEYBUILDER:fj", ctx), "");
  ctx.keyBuilder = [](const std::string& keys) { return "drill " + keys; };
  EXPECT_EQ(loadEventText("KeyBuilder:HOMEROW", ctx), "drill asdfjkl;");
  EXPECT_EQ(loadEventText("WORDBUILDER:ab", ctx), "");
  EXPECT_EQ(reports, (std::vector<std::string>{"Keybuilder: fj no key sequence available",
                                               "Wordbuilder: ab no words available"}));
}

TEST(EventText, FilesAreRepeatedAndAdapted) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "Texts");
  test::writeFile(dir / "Texts" / "Loop.txt", "Heading$LOOP$body;1.5");
  EventTextContext ctx;
  ctx.coursesFolder = dir.path();
  EXPECT_EQ(loadEventText("FILE:texts\\loop.txt", ctx), "Heading$LOOP$body;1.5");
  ctx.repeatText = true;
  ctx.semicolonChar = ',';
  ctx.keypadDecimalChar = ',';
  EXPECT_EQ(loadEventText("file:Texts/loop.txt", ctx),
            "Headingbody,1,5\r\nbody,1,5\r\nbody,1,5\r\nbody,1,5\r\nbody,1,5");
  EXPECT_EQ(repeatEventText("ab"), "ab\r\nab\r\nab\r\nab\r\nab\r\nab");
  // An absolute name is taken as it is.
  ctx.repeatText = false;
  EXPECT_EQ(loadEventText("FILE:" + (dir / "Texts" / "Loop.txt").string(), ctx),
            "Heading$LOOP$body,1,5");
  std::string reported;
  ctx.report = [&](int, const std::string& text) { reported = text; };
  EXPECT_EQ(loadEventText("FILE:missing.txt", ctx), "File not found");
  EXPECT_NE(reported.find("missing.txt missing or read error"), std::string::npos);
}

}  // namespace
}  // namespace ks
