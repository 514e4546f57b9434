// The drill-text builders: words and sentence pieces for chosen keys from the course's word data,
// and generated key drills whose partner keys sit on the same finger or row. Review courses,
// the builder event, the games menu and "KEYBUILDER:"/"WORDBUILDER:" texts use them.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ks {

class CourseLearner;
class Random;
class TKeyDataExt;

// What the builders consult in the running tutor. Everything may be missing: without a learner
// partner keys are not limited to the learned ones, without a layout (or with an empty one)
// every text counts as typeable.
struct BuilderEnvironment {
  CourseLearner* Learner = nullptr;
  TKeyDataExt* Layout = nullptr;
  std::filesystem::path LessonsPath;  // empty: the lessons folder of the program paths
  bool CourseLoaded = false;          // a course is loaded ...
  std::string CourseWizard;           // ... and names this word data set ("wizardname")
};

class TRevisionBuilder {
 public:
  TRevisionBuilder(Random& random, BuilderEnvironment env);

  // Looks up texts of `kind` (1 words, 2 sentence pieces) for every character of `Keys` up to
  // `LevelLimit`, at most `count` per key. With a `letter`, only texts starting with it (any
  // case). Adds them to `Lines` (shuffled, duplicates ignored); returns the number of lines.
  // Missing word data is reported and gives 0.
  int FindWords(int kind, int count, char letter = 0);

  // Each returns the number of lines it left in `Lines`.
  // Sentence pieces for the keys; capitals among the keys come back as capitalised words, and
  // with "." among the keys each line ends in punctuation.
  int SentenceText(const std::string& keys, int levelLimit, int count);
  // The same with words.
  int WordText(const std::string& keys, int levelLimit, int count);
  // Per key one line: count / 3 words, each written three times, one triple per row.
  int WordLines(const std::string& keys, int levelLimit, int count);
  // Per key one line: count words, four to a row.
  int WordBlocks(const std::string& keys, int levelLimit, int count);
  // One line of four-character groups drilling the keys with partner keys the learner knows up
  // to `keyLevel`. With `escape`, ";" is written "%;" for use inside an event line. Returns 1,
  // or 0 (reported) when there is nothing to drill.
  int KeyDrill(const std::string& keys, int keyLevel, bool escape, int repeats);

  // The lines joined by CR LF.
  std::string Text() const;

  std::string Keys;
  int LevelLimit = 99;
  std::string Wizard;  // the word data set; empty: the default choice
  std::string HeaderFile, DataFile;
  std::vector<std::string> Lines;

 private:
  // Nothing when the word data could not be read (reported).
  std::optional<std::vector<std::string>> findTexts(int kind, int count, char letter,
                                                    const std::string& keys);
  bool typeable(const std::string& text);
  void addLine(const std::string& line);
  int textFromPieces(const std::string& keys, int levelLimit, int count, int kind);
  int keyLines(const std::string& keys, int levelLimit, int count, bool triples);
  void shuffle(std::vector<std::string>& items);

  // Key drill partners (keydrill.cpp).
  std::string partnerFrom(const std::string& candidates, char s, const std::string& known);
  char partner(char s, const std::string& known);
  char neighbour(char s, char fallback, const std::string& known);

  Random& random_;
  BuilderEnvironment env_;
};

// The punctuation among `keys` that word drills append to their words, in the order ".", ",",
// "?", "!" (and ";", ":" for word lines).
std::string drillPunctuation(const std::string& keys, bool withColons);

// Words a builder word drill asks for with n keys: (2 + 2 (n - 1) / 3) x 20 / n, rounded, at
// least 1; 0 without keys.
int builderWordCount(int keyCount);

// The two drill builders of event texts ("KEYBUILDER:" and "WORDBUILDER:") for the learner and
// layout of `env`, at the learner's key level. `random` must outlive them.
struct DrillBuilders {
  std::function<std::string(const std::string& keys)> keyBuilder;
  std::function<std::string(const std::string& keys)> wordBuilder;
};
DrillBuilders makeDrillBuilders(const BuilderEnvironment& env, Random& random);

}  // namespace ks
