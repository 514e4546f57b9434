#include <gtest/gtest.h>

#include "content/examrules.h"
#include "content/textblocks.h"
#include "content/textevents.h"
#include "coursefakes.h"
#include "engine/resultfill.h"
#include "engine/typist.h"
#include "store/langres.h"

namespace ks {
namespace {

const std::string kAuthor = "\"\xA4|w\"";

struct RecordingListener : TextBlockListener {
  void BlockShown(const std::string& attribution) override { shown.push_back(attribution); }
  void MarkCompleted() override { ++completed; }
  void ResetInputLine() override { ++resets; }
  std::vector<std::string> shown;
  int completed = 0;
  int resets = 0;
};

TEST(TextBlocks, AuthorLinesAreShownUnderTheirTextAndNeverTyped) {
  EXPECT_TRUE(IsAttributionLine(kAuthor + "Aesop"));
  EXPECT_FALSE(IsAttributionLine("\"Aesop\""));
  EXPECT_EQ(AttributionCaption(kAuthor + "Aesop"), "\xA9 Aesop");

  TextBlocks blocks(TextBlocks::Kind::Lines);
  blocks.Reset("Slow and steady.\r\n" + kAuthor + "Aesop\r\n\r\n  \r\nWins the race.");
  ASSERT_TRUE(blocks.Take());
  EXPECT_EQ(blocks.Block(), "Slow and steady.");
  EXPECT_EQ(blocks.Attribution(), "\xA9 Aesop");
  EXPECT_EQ(blocks.ProgressPercent(), 0);
  ASSERT_TRUE(blocks.Take());
  EXPECT_EQ(blocks.Block(), "Wins the race.");
  EXPECT_GT(blocks.ProgressPercent(), 50);
  EXPECT_FALSE(blocks.Take());
  EXPECT_EQ(blocks.ProgressPercent(), 100);

  TextBlocks empty(TextBlocks::Kind::Lines);
  empty.Reset("");
  EXPECT_FALSE(empty.Take());
  EXPECT_EQ(empty.ProgressPercent(), 100);
}

TEST(TextBlocks, ParagraphsHoldAtMostSixLines) {
  TextBlocks blocks(TextBlocks::Kind::Paragraphs);
  blocks.Reset("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n\r\n\r\nnine\nten\n");
  ASSERT_TRUE(blocks.Take());
  EXPECT_EQ(blocks.Block(), "1\r2\r3\r4\r5\r6\r");
  ASSERT_TRUE(blocks.Take());
  EXPECT_EQ(blocks.Block(), "7\r8\r");  // the empty line ends it
  ASSERT_TRUE(blocks.Take());
  EXPECT_EQ(blocks.Block(), "nine\rten\r");
  EXPECT_FALSE(blocks.Take());
}

struct BlockEvents : ::testing::Test, test::Typist {
  TextModel view;
  InputLineModel line;
  RecordingListener listener;

  void type(TypingCore& checker, const std::string& keys) { Typist::type(checker, keys); }
};

TEST_F(BlockEvents, ASentenceEventPausesAtEveryLineAndFinishesAfterTheLast) {
  BlockTextChecker checker(services, host, view, line, TextBlocks::Kind::Lines, &listener);
  host.Reset();
  checker.Setup("the cat sat\r\n" + kAuthor + "Anon\r\non the mat");
  EXPECT_EQ(view.WordAt(0), "the");
  EXPECT_EQ(listener.shown, (std::vector<std::string>{"\xA9 Anon"}));
  type(checker, "the cat sat ");
  EXPECT_EQ(host.State(), esPaused);
  EXPECT_EQ(view.WordAt(0), "on");
  EXPECT_EQ(listener.shown.size(), 2u);
  EXPECT_EQ(listener.completed, 0);
  type(checker, "on the mat ");
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(listener.completed, 1);
  EXPECT_EQ(host.progress.back(), 100);
  EXPECT_EQ(counters().Words, 6);
  EXPECT_EQ(counters().Errors, 0);
}

TEST_F(BlockEvents, ATimeLimitedBlockEventStartsAgainInsteadOfFinishing) {
  BlockTextChecker checker(services, host, view, line, TextBlocks::Kind::Lines, &listener);
  checker.TimeLimited = true;
  host.Reset();
  checker.Setup("one two");
  type(checker, "one two ");
  EXPECT_EQ(listener.completed, 1);
  EXPECT_NE(host.State(), esFinished);
  EXPECT_EQ(view.WordAt(0), "one");
  EXPECT_TRUE(checker.SkipNextInterval);
}

TEST_F(BlockEvents, AParagraphEventShowsSixLinesThenTheRestAndFinishes) {
  BlockTextChecker checker(services, host, view, line, TextBlocks::Kind::Paragraphs, &listener);
  host.Reset();
  checker.Setup("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh");
  EXPECT_EQ(view.Text(), "a\rb\rc\rd\re\rf\r");
  type(checker, "a b c d e f ");
  EXPECT_EQ(listener.resets, 1);
  EXPECT_EQ(view.Text(), "g\rh\r");
  EXPECT_EQ(host.State(), esPaused);
  type(checker, "g h ");
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(listener.completed, 1);
}

TEST_F(BlockEvents, TheOlderParagraphDrillTypesEveryLineInPlace) {
  KeybBlockChecker checker(services, host, view, &listener);
  host.Reset();
  view.SetMode(TextModel::CharacterMode);
  checker.Setup("ab\r\n" + kAuthor + "x\r\ncd");
  type(checker, "ab ");
  EXPECT_EQ(host.State(), esPaused);
  EXPECT_EQ(view.Text(), kAuthor + "x");  // no author lines here: it is typed like any other
  for (char ch : kAuthor + "x ") {        // raw bytes: the typist's "|" would be Enter
    unsigned char key = static_cast<unsigned char>(ch);
    clock.advance(200);
    checker.KeyPress(key);
  }
  type(checker, "cd ");
  EXPECT_EQ(host.State(), esFinished);
}

TEST(TextEvents, EachKeywordHasItsBlockingAndExamRules) {
  EXPECT_EQ(TextEventTraitsOf("SENTENCE")->Blocking, TextBlocking::Lines);
  EXPECT_EQ(TextEventTraitsOf("SENTENCE")->LargeFontSize, 26);
  EXPECT_EQ(TextEventTraitsOf("PARAGRAPH2")->Blocking, TextBlocking::Paragraphs);
  EXPECT_TRUE(TextEventTraitsOf("EASYEXAM")->Exam);
  EXPECT_EQ(TextEventTraitsOf("EXAM")->IdleLimit, 0);
  EXPECT_EQ(TextEventTraitsOf("TEXT")->IdleLimit, 5);
  EXPECT_TRUE(TextEventTraitsOf("TEXT2")->RepeatText);
  EXPECT_FALSE(TextEventTraitsOf("TEXT")->InPlaceTextMode);
  EXPECT_EQ(TextEventTraitsOf("KEY2"), nullptr);
}

struct Exams : ::testing::Test {
  test::ScopedPolicy policy;
  test::FakeLearner learner;
  ExamTypedLog log;

  void SetUp() override {
    for (int id : {261, 262, 263, 265, 375, 586, 587, 208, 209}) {
      Localize().SetString(id, "<" + std::to_string(id) + ">");
    }
  }
  static TResultItem measured() {
    TResultItem r;
    r.Number = 4;
    r.Chapter = 2;
    r.Kind = "TEXT";
    r.Valid = true;
    r.Complete = true;
    r.Accuracy = 96;
    r.NetSpeed = 160;
    r.GrossSpeed = 170;
    r.Rhythm = 70;
    return r;
  }
  ExamCriteria policyCriteria(const std::string& type, int timeLimit = 300) {
    return SetupExam(ExamVariantOf(type), {"event", type, "1", "NIL"}, "ENG1", timeLimit, 5);
  }
};

TEST_F(Exams, CriteriaComeFromThePolicyOfTheCourse) {
  policy->WriteBool("ENG1.chapter_must_type_all", true);
  policy->WriteInteger("ENG1.chapter_min_speed", 30);
  policy->WriteInteger("ENG1.chapter_min_accuracy", 95);
  policy->WriteInteger("ENG1.chapter_min_rhythm", 60);
  policy->WriteInteger("ENG1.chapter_exam_duration", 3);
  const ExamCriteria exam = policyCriteria("EXAM");
  EXPECT_TRUE(exam.MustTypeAll);
  EXPECT_EQ(exam.MinNet, 150);
  EXPECT_EQ(exam.MinGross, 0);
  EXPECT_EQ(exam.MinAccuracy, 95);
  EXPECT_EQ(exam.MinRhythm, 60);
  EXPECT_TRUE(exam.GoalsOff);
  EXPECT_EQ(exam.TimeLimit, 300);  // the exam duration is for the newer exams only
  EXPECT_EQ(exam.DurationCaption, "");

  const ExamCriteria exam2 = policyCriteria("EXAM2");
  EXPECT_EQ(exam2.TimeLimit, 180);
  EXPECT_EQ(exam2.DurationCaption, "[3:00]");
  const ExamCriteria easy = policyCriteria("EASYEXAM");
  EXPECT_FALSE(easy.GoalsOff);
  EXPECT_EQ(easy.TimeLimit, 180);
  EXPECT_EQ(ExamVariantOf("TEXT"), ExamVariant::None);
}

TEST_F(Exams, TheTypingTestsExamReadsItsOwnLine) {
  const std::vector<std::string> line = {"Event", "EXAMINTERNAL", "0", "text", "False",
                                         "20",    "90",           "0", "18",   "1"};
  const ExamCriteria c = SetupExam(ExamVariantOf("EXAM", true), line, "", 120, 5);
  EXPECT_EQ(c.MinGross, 100);
  EXPECT_EQ(c.MinAccuracy, 90);
  EXPECT_EQ(c.MinRhythm, 0);
  EXPECT_EQ(c.MinNet, 90);
  EXPECT_TRUE(c.MustTypeAll);
  EXPECT_TRUE(c.TimeLimited);
  EXPECT_TRUE(c.GoalsOff);

  // Without a time limit the text must not start again forever.
  EXPECT_FALSE(SetupExam(ExamVariant::Internal, line, "", 0, 5).TimeLimited);
  std::vector<std::string> repeat = line;
  repeat[9] = "2";
  const ExamCriteria r = SetupExam(ExamVariant::Internal, repeat, "", 60, 5);
  EXPECT_FALSE(r.MustTypeAll);
  EXPECT_TRUE(r.TimeLimited);
}

TEST_F(Exams, AnExamMeetingEveryCriterionPasses) {
  ExamCriteria c;
  c.MinAccuracy = 95;
  c.MinNet = 150;
  c.MinRhythm = 60;
  TResultItem r = measured();
  log.Add("cat", "cat", 32);
  EvaluateExam(r, c, "EXAM", true, log, {&learner, nullptr, 5});
  EXPECT_TRUE(r.Passed);
  EXPECT_EQ(r.Tip, "<375>");
  EXPECT_EQ(r.Kind, "TEST");
  EXPECT_EQ(learner.settings.ReadInteger("qslms.exampassed"), 2);
  EXPECT_EQ(learner.settings.ReadString("StoryPointer"), "0");
  ASSERT_EQ(learner.typed.count(4), 1u);
  EXPECT_EQ(learner.typed[4], (TypedTextPairs{{"cat", "cat"}}));
}

TEST_F(Exams, EachMissedCriterionExplainsItself) {
  ExamCriteria c;
  c.MustTypeAll = true;
  c.MinAccuracy = 97;
  c.MinNet = 200;
  c.MinGross = 250;
  c.MinRhythm = 80;
  TResultItem r = measured();
  EvaluateExam(r, c, "EXAM", false, log, {&learner, nullptr, 5});
  EXPECT_FALSE(r.Passed);
  EXPECT_EQ(r.Tip,
            "<265>\r\r<261>97%\r\r<262>40 <208> (<586>)\r\r<262>50 <208> (<587>)\r\r<263>80%\r\r");
  EXPECT_EQ(learner.settings.ReadInteger("qslms.exampassed"), 1);

  learner.settings.WriteInteger("cpm", 1);
  c = ExamCriteria();
  c.MinNet = 200;
  r = measured();
  r.Complete = false;
  EvaluateExam(r, c, "EXAM", true, log, {&learner, nullptr, 5});
  EXPECT_EQ(r.Tip, "<262>200 <209> (<586>)\r\r");
  EXPECT_EQ(learner.settings.ReadInteger("qslms.exampassed"), 0);

  // Too little typing to judge: no verdict and no log.
  learner.typed.clear();
  r = measured();
  r.Valid = false;
  r.Tip = "keep";
  EvaluateExam(r, c, "EXAM", true, log, {&learner, nullptr, 5});
  EXPECT_EQ(r.Tip, "keep");
  EXPECT_EQ(r.Kind, "TEST");
  EXPECT_TRUE(learner.typed.empty());
}

TEST_F(Exams, AnExamTypedEndToEndStoresItsTextAndTheLearningManagementKeys) {
  test::Typist t;
  TextModel view;
  InputLineModel line;
  InputLineChecker checker(t.services, t.host, view, line);
  checker.InPlaceTextMode = true;
  checker.SetTypedLog(&log);
  t.host.Reset();
  const std::string text = "alpha bravo charlie delta echo foxtrot golf";
  checker.Setup(text);
  t.type(checker, "alpha delta echo foxtrot golf ", 500);  // two words skipped
  ASSERT_EQ(t.host.State(), esFinished);

  TResultItem r;
  r.Number = 7;
  r.Chapter = 1;
  r.ErrorFactor = 5;
  r.TypingSeconds = t.measures.Timer.Seconds();
  r.Complete = true;
  FillTypingResult(r, CheckingModel::InputLine,
                   {t.measures, t.keys.CurrentDifficulties(), Localize(), 5});
  ExamCriteria c;
  c.MinAccuracy = 99;
  EvaluateExam(r, c, "EXAM", true, log, {&learner, &t.measures, 5});
  EXPECT_FALSE(r.Passed);
  EXPECT_EQ(learner.settings.ReadInteger("qslms.exampassed"), 1);
  EXPECT_EQ(learner.settings.ReadString("qslms.totalhits").rfind("int: ", 0), 0u);
  const TypedTextPairs& pairs = learner.typed[7];
  ASSERT_EQ(pairs.size(), 7u);
  EXPECT_EQ(pairs[1], (std::pair<std::string, std::string>{"bravo", ""}));
  EXPECT_EQ(pairs[2], (std::pair<std::string, std::string>{"charlie", ""}));
  EXPECT_EQ(pairs[3], (std::pair<std::string, std::string>{"delta", "delta"}));
}

}  // namespace
}  // namespace ks
