#include "content/reviewcourse.h"

#include "analysis/diffkeys.h"
#include "analysis/wordlist.h"
#include "content/bookmark.h"
#include "content/courseservices.h"
#include "content/policy.h"
#include "platform/paths.h"
#include "store/errors.h"
#include "store/langres.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr size_t kReviewWords = 15;

std::string message(int id) {
  return Localize().GetString(id);
}

void line(std::string& out, const std::string& text) {
  out += text;
  out += "\r\n";
}

// An exercise block; nothing when it has no events and `keepEmpty` is off.
void exercise(std::string& out, const std::string& type, int weight,
              const std::vector<std::string>& events, bool keepEmpty = true) {
  if (events.empty() && !keepEmpty) return;
  line(out, "begin exercise");
  line(out, "  type=" + escapeField(type));
  line(out, "  duration=" + intToStr(weight));
  for (const std::string& e : events) line(out, "  Event=" + e);
  line(out, "end exercise");
}

}  // namespace

ReviewKeys chooseReviewKeys(const TDifficultKeys* difficulties) {
  ReviewKeys keys;
  if (difficulties != nullptr)
    keys.K = difficulties->getTopKeys(6, TDifficultKeys::CaseFilter::Any);
  if (keys.K.empty()) {
    keys.K = "wopmvcbg";
    keys.Group1 = "wopm";
    keys.Group2 = "vcbg";
    keys.K5 = "WVCBGQ";
    return keys;
  }
  keys.Group1 = keys.K.substr(0, 3);
  if (keys.K.size() > 3) keys.Group2 = keys.K.substr(3, 3);
  // The capitals exercise practises the worst capital letters (the upper-case ranking also
  // passes digits and punctuation).
  for (char c :
       difficulties->getTopKeys(TDifficultKeys::CodeCount, TDifficultKeys::CaseFilter::Upper)) {
    const auto u = static_cast<unsigned char>(c);
    if (lowerChar(u) != u && keys.K5.size() < 5) keys.K5 += c;
  }
  return keys;
}

std::vector<std::string> reviewWords(const TWordList* words) {
  if (words == nullptr) return {};
  // Words mistyped in lessons are reviewed too, not only the monitor's and the learner's own.
  std::vector<std::string> list = words->ListWords(wsMonitor | wsTutor | wsUser, 0);
  if (list.size() > kReviewWords) list.resize(kReviewWords);
  return list;
}

std::vector<std::string> wordPairLines(const std::vector<std::string>& words) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < words.size(); i += 2) {
    std::string pair = words[i] + " ";
    if (i + 1 < words.size()) pair += words[i + 1] + " ";
    lines.push_back(pair + pair);
  }
  return lines;
}

TReviewContents::TReviewContents(Random& random, const BuilderEnvironment& env,
                                 ReviewSources sources, const CourseServices& course,
                                 std::filesystem::path tempRoot)
    : Builder(random, env),
      env_(env),
      sources_(sources),
      course_(course),
      files_(std::move(tempRoot)) {
  Builder.Wizard = policyString("SidewatchWizard");
}

TReviewContents::~TReviewContents() {
  contents_.reset();
  files_.Clear();
}

std::string TReviewContents::saveText(const std::string& stem,
                                      const std::vector<std::string>& lines) {
  if (lines.empty()) return {};
  std::string text;
  for (const std::string& l : lines) line(text, l);
  return pathTo1252(files_.Create(stem, ".txt", text));
}

std::string TReviewContents::saveLines(const std::string& stem) {
  return saveText(stem, Builder.Lines);
}

void TReviewContents::writeExercises(std::string& out) {
  const ReviewKeys keys = chooseReviewKeys(sources_.Difficulties);
  const int keyLevel = env_.Learner != nullptr ? env_.Learner->KeyLevel() : 99;
  const int levelLimit = Builder.LevelLimit;

  for (const std::string& group : {keys.Group1, keys.Group2}) {
    if (group.empty()) continue;
    std::vector<std::string> events;
    Builder.KeyDrill(group, keyLevel, false, 6);
    if (std::string f = saveLines("keys"); !f.empty()) events.push_back("key2;1;File:" + f);
    Builder.WordBlocks(group, levelLimit, 10);
    if (std::string f = saveLines("words"); !f.empty()) events.push_back("word2;1;File:" + f);
    exercise(out, message(1420) + " " + group, 4, events);
  }
  if (keys.K.size() > 7) {
    exercise(out, message(448), 3, {"bubbles;1;keys;" + escapeField(keys.K, ";")});
  }
  Builder.SentenceText(keys.K, levelLimit, 3);
  if (std::string f = saveLines("sentences"); !f.empty()) {
    exercise(out, message(449), 5, {"text2;2;File:" + f + ";TRUE"});
  }
  if (!keys.K5.empty()) {
    std::vector<std::string> events;
    Builder.WordBlocks(keys.K5, levelLimit, 10);
    if (std::string f = saveLines("capitals"); !f.empty()) events.push_back("word2;2;File:" + f);
    Builder.SentenceText(keys.K5, levelLimit, 3);
    if (std::string f = saveLines("capsentences"); !f.empty()) {
      events.push_back("text2;3;File:" + f + ";TRUE");
    }
    exercise(out, message(452) + keys.K5, 5, events);
  }
  const std::vector<std::string> words = reviewWords(sources_.Words);
  const std::string wordsFile = saveText("difficult", words);
  const std::string pairsFile = saveText("pairs", wordPairLines(words));
  std::vector<std::string> wordEvents;
  if (!wordsFile.empty()) wordEvents.push_back("Word;3;file:" + wordsFile + ";SPACE;2;3;");
  if (!pairsFile.empty()) wordEvents.push_back("sentence2;3;file:" + pairsFile + ";NOENTER;");
  exercise(out, message(453), 6, wordEvents, false);
  if (!wordsFile.empty()) exercise(out, message(454), 3, {"clouds;1;" + wordsFile + ";TRUE"});
}

bool TReviewContents::CreateReview(bool generate, int duration) {
  contents_.reset();
  files_.Clear();
  Duration = duration;

  std::string out;
  line(out, "$description=" + Title);
  line(out, "contents name=" + Title);
  line(out, "wordloop=0");
  line(out, "wordmaxloop=2");
  line(out, "sentenceloop=0");
  line(out, "sentencemaxloop=0");
  line(out, "begin chapter");
  line(out, "chapter name=1;" + Title);
  line(out, "picture=ch1.pic");
  line(out, "durationpercent=99");
  line(out, "");
  if (generate) writeExercises(out);
  line(out, "end chapter");
  line(out, "end contents");
  courseText_ = out;

  courseFile_ = files_.Create("review", ".cnt", out);
  if (courseFile_.empty()) {
    ReportError(-5, "ReviewContents temp file name empty");
    return false;
  }
  contents_ =
      std::make_unique<TContents>(courseFile_.string(), duration, TBookMark::bmReview, course_);
  if (contents_->Status() != 0) {
    ReportError2(-5633, contents_->Status());
    contents_.reset();
    return false;
  }
  return !contents_->LayoutFailed();
}

}  // namespace ks
