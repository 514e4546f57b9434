#include "content/revisionbuilder.h"

#include <algorithm>
#include <optional>

#include "analysis/keydataext.h"
#include "content/courseservices.h"
#include "content/worddata.h"
#include "platform/random.h"
#include "store/dynamicsettings.h"
#include "store/errors.h"
#include "store/fileobj.h"
#include "store/programsetup.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

std::string distinctChars(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (out.find(c) == std::string::npos) out += c;
  }
  return out;
}

bool isUpperLetter(char c) {
  const auto u = static_cast<unsigned char>(c);
  return upperChar(u) == u && lowerChar(u) != u;
}

// Capitalises every blank-separated word whose first letter is among `capitals`; with
// `everyWord` false only when the text's first letter is.
std::string applyCapitals(std::string text, const std::string& capitals, bool everyWord) {
  if (capitals.empty() || text.empty()) return text;
  const auto capital = [&](char c) {
    return capitals.find(static_cast<char>(upperChar(static_cast<unsigned char>(c)))) !=
           std::string::npos;
  };
  if (!everyWord && !capital(text[0])) return text;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((i == 0 || text[i - 1] == ' ') && text[i] != ' ' && (!everyWord || capital(text[i]))) {
      text[i] = static_cast<char>(upperChar(static_cast<unsigned char>(text[i])));
    }
  }
  return text;
}

const std::vector<std::string> none;

std::string titleCase(std::string word) {
  if (!word.empty()) word[0] = static_cast<char>(upperChar(static_cast<unsigned char>(word[0])));
  return word;
}

}  // namespace

TRevisionBuilder::TRevisionBuilder(Random& random, BuilderEnvironment env)
    : random_(random), env_(std::move(env)) {}

void TRevisionBuilder::shuffle(std::vector<std::string>& items) {
  for (size_t i = items.size(); i > 1; --i) {
    const auto j = static_cast<size_t>(random_.next(static_cast<int32_t>(i)));
    std::swap(items[i - 1], items[j]);
  }
}

void TRevisionBuilder::addLine(const std::string& line) {
  if (std::find(Lines.begin(), Lines.end(), line) == Lines.end()) Lines.push_back(line);
}

std::string TRevisionBuilder::Text() const {
  std::string text;
  for (size_t i = 0; i < Lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += Lines[i];
  }
  return text;
}

bool TRevisionBuilder::typeable(const std::string& text) {
  TKeyDataExt* layout = env_.Layout;
  if (layout == nullptr || layout->Keys.empty()) return true;
  for (char c : text) {
    if (c == ' ' || layout->findKey(std::string_view(&c, 1)).key != nullptr) continue;
    const DeadKey dead = layout->findDeadKey(c);
    if (dead.accent.key == nullptr) return false;
    if (layout->findKey(std::string_view(&dead.base, 1)).key == nullptr) return false;
  }
  return true;
}

std::optional<std::vector<std::string>> TRevisionBuilder::findTexts(int kind, int count,
                                                                    char letter,
                                                                    const std::string& keys) {
  std::filesystem::path lessons = env_.LessonsPath;
  if (lessons.empty() && ProgramSettings) lessons = ProgramSettings->lessonsPath();
  TDynamicSettings* user = env_.Learner != nullptr ? &env_.Learner->Settings() : nullptr;
  const WordDataFiles files =
      chooseWordData(Wizard, env_.CourseLoaded ? env_.CourseWizard : std::string(), user, lessons);
  HeaderFile = files.Header;
  DataFile = files.Data;
  WordData data;
  const int status = data.Open(HeaderFile, DataFile);
  if (status != fsOk) {
    ReportError(status, data.FailedFile());
    return std::nullopt;
  }

  std::vector<std::string> result;
  for (char key : keys) {
    const auto k = static_cast<unsigned char>(key);
    for (const WordIndexRecord& r : data.Index()) {
      // A letter asks for texts starting with it: they are all filed under the letter's key.
      const bool keyMatches = letter != 0 ? lowerChar(r.Key) == lowerChar(k) : r.Key == k;
      if (!keyMatches || r.Kind != kind || r.Level > LevelLimit) continue;
      std::vector<std::string> kept;
      for (const std::string& text : data.Texts(r)) {
        if (letter != 0 ? startsWithText(text, std::string_view(&letter, 1)) : typeable(text)) {
          kept.push_back(text);
        }
      }
      shuffle(kept);
      int added = 0;
      for (const std::string& text : kept) {
        if (added >= count) break;
        if (std::find(result.begin(), result.end(), text) != result.end()) continue;
        result.push_back(text);
        ++added;
      }
      break;
    }
  }
  shuffle(result);
  return result;
}

int TRevisionBuilder::FindWords(int kind, int count, char letter) {
  for (const std::string& text : findTexts(kind, count, letter, Keys).value_or(none)) {
    addLine(text);
  }
  return static_cast<int>(Lines.size());
}

int TRevisionBuilder::textFromPieces(const std::string& keys, int levelLimit, int count, int kind) {
  Lines.clear();
  std::string capitals;
  for (char c : keys) {
    if (isUpperLetter(c) && capitals.find(c) == std::string::npos) capitals += c;
  }
  Keys = distinctChars(lowerCase(keys));
  LevelLimit = levelLimit;
  const bool fullStop = keys.find('.') != std::string::npos;
  for (std::string text : findTexts(kind, count, 0, Keys).value_or(none)) {
    text = applyCapitals(std::move(text), capitals, kind == wkSentences);
    if (fullStop && text.size() > 3 &&
        std::string(",.!?-").find(text.back()) == std::string::npos) {
      text += '.';
    }
    addLine(text);
  }
  return static_cast<int>(Lines.size());
}

int TRevisionBuilder::SentenceText(const std::string& keys, int levelLimit, int count) {
  return textFromPieces(keys, levelLimit, count, wkSentences);
}

int TRevisionBuilder::WordText(const std::string& keys, int levelLimit, int count) {
  return textFromPieces(keys, levelLimit, count, wkWords);
}

std::string drillPunctuation(const std::string& keys, bool withColons) {
  std::string marks = withColons ? ".,?!;:" : ".,?!";
  std::string found;
  for (char m : marks) {
    if (keys.find(m) != std::string::npos) found += m;
  }
  return found;
}

int TRevisionBuilder::keyLines(const std::string& keys, int levelLimit, int count, bool triples) {
  Lines.clear();
  Keys = keys;
  LevelLimit = levelLimit;
  const std::string marks = drillPunctuation(keys, triples);
  size_t nextMark = 0;
  for (char key : distinctChars(keys)) {
    const bool capital = isUpperLetter(key);
    const auto found =
        findTexts(wkWords, triples ? count / 3 : count, capital ? key : 0, std::string(1, key));
    if (!found) break;  // no word data: reported once
    const std::vector<std::string>& words = *found;
    if (words.empty()) continue;
    std::string out;
    int n = 0;
    for (const std::string& text : words) {
      std::string word(trim(text));
      if (capital) word = titleCase(word);
      if (!marks.empty() && word.find(',') == std::string::npos) {
        word += marks[nextMark++ % marks.size()];
      }
      if (triples) {
        out += word + " " + word + " " + word + "\r\n";
      } else {
        if (n > 0) out += n % 4 == 0 ? "\r" : " ";
        out += word;
      }
      ++n;
    }
    addLine(out);
  }
  return static_cast<int>(Lines.size());
}

int TRevisionBuilder::WordLines(const std::string& keys, int levelLimit, int count) {
  return keyLines(keys, levelLimit, count, true);
}

int TRevisionBuilder::WordBlocks(const std::string& keys, int levelLimit, int count) {
  return keyLines(keys, levelLimit, count, false);
}

int builderWordCount(int keyCount) {
  if (keyCount <= 0) return 0;
  // (2 + 2 (n - 1) / 3) x 20 / n = (40 n + 80) / 3 n
  const int64_t n = keyCount;
  return static_cast<int>(std::max<int64_t>(1, roundHalfEvenDiv(40 * n + 80, 3 * n)));
}

DrillBuilders makeDrillBuilders(const BuilderEnvironment& env, Random& random) {
  const auto level = [env] { return env.Learner != nullptr ? env.Learner->KeyLevel() : 99; };
  DrillBuilders b;
  b.keyBuilder = [env, &random, level](const std::string& keys) {
    TRevisionBuilder builder(random, env);
    builder.KeyDrill(keys, level(), false, 8);
    return builder.Text();
  };
  b.wordBuilder = [env, &random, level](const std::string& keys) {
    TRevisionBuilder builder(random, env);
    builder.WordLines(keys, level(),
                      builderWordCount(static_cast<int>(distinctChars(keys).size())));
    return builder.Text();
  };
  return b;
}

}  // namespace ks
