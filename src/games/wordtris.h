// Wordtris: a word drops row by row down a column of ten rows; the player types it and a final
// space before it lands. Landed words pile up from the bottom and shorten the next drop; the
// sixth landed word ends the game. Quick completions raise the level, which drops words faster
// and scores more.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace ks {

class Sound;

class WordtrisModel {
 public:
  static constexpr int kRows = 10;
  static constexpr int kMaxLanded = 6;
  static constexpr int kLanded = 11;  // the completion row of a word that landed

  // `nextWord` hands out the words; `addWord` takes each completed word with its error weight.
  WordtrisModel(std::function<std::string()> nextWord,
                std::function<void(const std::string&, int)> addWord, Sound& sound,
                std::string completionText);

  // The first word starts to fall.
  void Start();
  // The falling word drops one row, or lands.
  void Step();
  // A typed character while the game runs.
  void Key(unsigned char c);

  // The text of row `row` (1 top to 10 bottom); empty when the row is free.
  std::string RowText(int row) const;
  // How many characters of the falling row's text are typed.
  int TypedCount() const { return cursor_ - 1; }
  // Only the final space is left: the falling row shows the completion text.
  bool AwaitingSpace() const { return cursor_ > static_cast<int>(word_.size()); }

  const std::string& Word() const { return word_; }
  int FallRow() const { return fallRow_; }
  int Cursor() const { return cursor_; }
  int CompletionRow() const { return completionRow_; }
  float Level() const { return level_; }
  int WordErrors() const { return wordErrors_; }
  int Points() const { return points_; }
  int StepInterval() const { return stepInterval_; }
  const std::vector<std::string>& Landed() const { return landed_; }
  bool Finished() const { return finished_; }
  // For tests and the level arithmetic: sets the level as the game would reach it.
  void SetLevel(float level) { level_ = level; }

 private:
  void newWord(bool adapt);
  void adaptLevel();

  std::function<std::string()> nextWord_;
  std::function<void(const std::string&, int)> addWord_;
  Sound& sound_;
  std::string completion_;
  std::string word_;
  std::vector<std::string> landed_;
  int fallRow_ = 0;
  int cursor_ = 1;
  int completionRow_ = 0;
  float level_ = 1;
  int wordErrors_ = 0;
  int points_ = 0;
  int stepInterval_ = 100;
  bool finished_ = false;
};

}  // namespace ks
