// The review course written from a learner's difficulties, loaded as a course, and its temporary
// files, which never outlive the review (nor a crashed run).
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "analysis/diffkeys.h"
#include "analysis/wordlist.h"
#include "content/exercise.h"
#include "content/reviewcourse.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "reviewfixtures.h"
#include "store/langres.h"
#include "text/textutil.h"

namespace ks {
namespace {

using test::FakeKeyboard;
using test::FakeLearner;
using test::RecordingDialogs;
using test::ScopedPolicy;
using test::TempDir;

// Key statistics in which `hard` keys are mistyped half the time and the others never.
void makeDifficult(TDifficultKeys& keys, const std::string& hard, const std::string& easy) {
  for (int i = 0; i < 20; ++i) {
    for (char c : hard) keys.recordKey(static_cast<unsigned char>(c), i % 2 == 0);
    for (char c : easy) keys.recordKey(static_cast<unsigned char>(c), false);
  }
  keys.updateStatistics();
}

class ReviewCourse : public ::testing::Test {
 protected:
  ReviewCourse() {
    for (int id : {448, 449, 452, 453, 454, 1420}) {
      Localize().SetString(id, "<" + std::to_string(id) + ">");
    }
    std::filesystem::create_directory(lessons.path() / "lessons");
    test::SmallWordData().writeTo(lessons / "lessons", "side");
    policy->WriteString("SidewatchWizard", "side");
    test::addKeyOrder(learner);
    learner.keyLevel = 2;
    env.Learner = &learner;
    env.LessonsPath = lessons / "lessons";
    course.Learner = &learner;
    course.Keyboard = &keyboard;
  }
  std::unique_ptr<TReviewContents> review(ReviewSources sources = {}) {
    return std::make_unique<TReviewContents>(random, env, sources, course, temp.path());
  }
  // The event lines of the loaded course, exercise by exercise.
  static std::vector<std::vector<std::string>> events(const TContents& c) {
    std::vector<std::vector<std::string>> out;
    for (const auto& ex : c.Lessons.at(0)->Exercises) {
      out.emplace_back();
      for (const auto& ev : ex->Events) out.back().push_back(ev->Line());
    }
    return out;
  }

  ScopedPolicy policy;
  RecordingDialogs boxes;
  TempDir lessons, temp;
  FakeLearner learner;
  FakeKeyboard keyboard;
  SeededRandom random{11};
  BuilderEnvironment env;
  CourseServices course;
};

TEST_F(ReviewCourse, WithoutDifficultKeysTheDefaultKeysArePractised) {
  auto r = review();
  ASSERT_TRUE(r->CreateReview(true, 10));
  const std::string& text = r->CourseText();
  EXPECT_EQ(text.rfind("$description=Review Chapter\r\ncontents name=Review Chapter\r\n"
                       "wordloop=0\r\nwordmaxloop=2\r\nsentenceloop=0\r\nsentencemaxloop=0\r\n",
                       0),
            0u);
  EXPECT_NE(text.find("begin chapter\r\nchapter name=1;Review Chapter\r\npicture=ch1.pic\r\n"
                      "durationpercent=99\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("  Event=bubbles;1;keys;wopmvcbg\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 27), "end chapter\r\nend contents\r\n");

  TContents* c = r->Contents();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Bookmark.Mode, TBookMark::bmReview);
  EXPECT_EQ(c->Bookmark.ResultShowMode, 2);
  EXPECT_FALSE(c->Bookmark.Save);
  ASSERT_EQ(c->Lessons.size(), 1u);
  const auto& ex = c->Lessons[0]->Exercises;
  // "wopm", "vcbg" (written even though no word data has their keys), Bubbles, and the
  // capitals; no sentences, no difficult words.
  ASSERT_EQ(ex.size(), 4u);
  EXPECT_EQ(ex[0]->Type, "<1420> wopm");
  EXPECT_EQ(ex[1]->Type, "<1420> vcbg");
  EXPECT_EQ(ex[2]->Type, "<448>");
  EXPECT_EQ(ex[3]->Type, "<452>WVCBGQ");
  EXPECT_EQ(ex[0]->Weight, 4);
  const auto lines = events(*c);
  ASSERT_EQ(lines[0].size(), 1u) << "a key drill, and no words for w, o, p, m";
  EXPECT_TRUE(startsWithText(lines[0][0], "Event=key2;1;File:/"));
  // The capital W finds no word starting with it; the exercise stays, without events.
  EXPECT_TRUE(lines[3].empty());
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ReviewCourse, TheLearnersDifficultKeysAndWordsAreDrilled) {
  TDifficultKeys keys(8);
  keys.setKeySet(learner.KeysUpTo(4));  // as a course sets it: ";" is one of the keys
  makeDifficult(keys, "fj;", "asdklei");
  TWordList words;
  for (int i = 0; i < 3; ++i) {
    for (const char* w : {"field", "jeff", "flask"}) words.AddOccurrence(w, 3, wsMonitor, false);
  }
  auto r = review({&keys, &words});
  ASSERT_TRUE(r->CreateReview(true, 10));
  const ReviewKeys chosen = chooseReviewKeys(&keys);
  EXPECT_EQ(chosen.K.size(), 3u);
  for (char c : std::string("fj;")) EXPECT_NE(chosen.K.find(c), std::string::npos);
  EXPECT_TRUE(chosen.Group2.empty());
  EXPECT_TRUE(chosen.K5.empty());

  TContents* c = r->Contents();
  ASSERT_NE(c, nullptr);
  const auto& ex = c->Lessons.at(0)->Exercises;
  // Key drill of the three keys, sentences, difficult words, Clouds.
  ASSERT_EQ(ex.size(), 4u);
  EXPECT_EQ(ex[0]->Type, "<1420> " + chosen.K) << "the \";\" of the type survives the course";
  const auto lines = events(*c);
  ASSERT_EQ(lines[0].size(), 2u);
  const std::string drill = test::readFile(pathFrom1252(lines[0][0].substr(18)));
  for (char k : std::string("fj;")) EXPECT_NE(drill.find(k), std::string::npos) << drill;
  EXPECT_EQ(ex[1]->Type, "<449>");
  ASSERT_EQ(lines[1].size(), 1u);
  EXPECT_EQ(lines[1][0].substr(lines[1][0].size() - 5), ";TRUE");
  EXPECT_EQ(ex[2]->Type, "<453>");
  ASSERT_EQ(lines[2].size(), 2u);
  EXPECT_TRUE(startsWithText(lines[2][0], "Event=Word;3;file:/"));
  const std::string wordsFile = lines[2][0].substr(18, lines[2][0].find(";SPACE") - 18);
  EXPECT_EQ(test::readFile(pathFrom1252(wordsFile)).size(), 20u);  // three words and CR LF
  const std::string pairsFile = lines[2][1].substr(23, lines[2][1].find(";NOENTER") - 23);
  const std::vector<std::string> pairs = splitLines(test::readFile(pathFrom1252(pairsFile)));
  ASSERT_GE(pairs.size(), 2u);
  EXPECT_EQ(std::count(pairs[0].begin(), pairs[0].end(), ' '), 4);
  EXPECT_EQ(ex[3]->Type, "<454>");
  EXPECT_EQ(lines[3][0], "Event=clouds;1;" + wordsFile + ";TRUE");
  // The loader takes the drill files as texts of the events.
  EXPECT_EQ(c->Lessons[0]->Exercises[0]->Events[0]->SourceFile(), lines[0][0].substr(18));
}

TEST_F(ReviewCourse, TemporaryFilesGoWithTheReview) {
  std::filesystem::path folder;
  {
    auto r = review();
    ASSERT_TRUE(r->CreateReview(true, 5));
    folder = r->TempFiles().Folder();
    ASSERT_FALSE(r->TempFiles().Files().empty());
    for (const auto& f : r->TempFiles().Files()) EXPECT_TRUE(std::filesystem::exists(f));
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A second review replaces the first one's files.
    const auto first = r->TempFiles().Files().front();
    ASSERT_TRUE(r->CreateReview(false, 5));
    EXPECT_FALSE(std::filesystem::exists(first));
    folder = r->TempFiles().Folder();
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(ReviewCourse, AFolderThatCannotBeWrittenIsReported) {
  auto r =
      std::make_unique<TReviewContents>(random, env, ReviewSources{}, course, temp / "missing");
  EXPECT_FALSE(r->CreateReview(true, 5));
  EXPECT_EQ(r->Contents(), nullptr);
  ASSERT_FALSE(boxes.boxes.empty());
  EXPECT_NE(boxes.boxes.back().text.find("ReviewContents temp file name empty"), std::string::npos);
}

TEST(ReviewWords, PairsAreWrittenTwiceAndTheWordListIsCut) {
  EXPECT_EQ(wordPairLines({"one", "two", "six"}),
            (std::vector<std::string>{"one two one two ", "six six "}));
  TWordList words;
  for (int n = 0; n < 20; ++n) {
    for (int i = 0; i < 3; ++i) words.AddOccurrence("w" + std::to_string(n), 3, wsUser, false);
  }
  for (int i = 0; i < 3; ++i) words.AddOccurrence("lesson", 10, wsTutor, false);  // the hardest
  words.AddOccurrence("hidden", 10, wsHidden, false);
  const std::vector<std::string> review = reviewWords(&words);
  ASSERT_EQ(review.size(), 15u);
  EXPECT_EQ(std::count(review.begin(), review.end(), "lesson"), 1);
  EXPECT_EQ(std::count(review.begin(), review.end(), "hidden"), 0);
  EXPECT_TRUE(reviewWords(nullptr).empty());
}

TEST(ReviewTempFiles, FoldersOfEndedProgramsAreRemoved) {
  TempDir root;
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);
  const auto dead = root / ("ksreview-" + std::to_string(child) + "-abcdef");
  const auto mine = root / ("ksreview-" + std::to_string(::getpid()) + "-abcdef");
  const auto other = root / "ksreview-x-abcdef";
  for (const auto& d : {dead, mine, other}) std::filesystem::create_directory(d);
  test::writeFile(dead / "keys123456.txt", "fff");
  EXPECT_EQ(removeStaleReviewFolders(root.path()), 1);
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_TRUE(std::filesystem::exists(mine));
  EXPECT_TRUE(std::filesystem::exists(other));

  // A new set cleans up on its first file.
  std::filesystem::create_directory(dead);
  TempFileSet files(root.path());
  const auto f = files.Create("keys", ".txt", "ff jj");
  ASSERT_FALSE(f.empty());
  EXPECT_EQ(f.extension(), ".txt");
  EXPECT_EQ(test::readFile(f), "ff jj");
  EXPECT_FALSE(std::filesystem::exists(dead));
}

TEST(ReviewTempFiles, TheFolderPathCanStandInAnEventLine) {
  TempDir base;
  const auto bad = base / "a;b";
  std::filesystem::create_directory(bad);
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("TMPDIR", bad.c_str(), 1);
  EXPECT_EQ(reviewTempRoot(), std::filesystem::path("/tmp"));
  ::setenv("TMPDIR", base.path().c_str(), 1);
  EXPECT_EQ(reviewTempRoot(), base.path());
  ::setenv("TMPDIR", "relative/dir", 1);
  EXPECT_EQ(reviewTempRoot(), std::filesystem::path("/tmp"));
  if (old != nullptr) {
    ::setenv("TMPDIR", saved.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
}

}  // namespace
}  // namespace ks
