#include "games/gamewords.h"

#include "store/filelists.h"
#include "store/fileobj.h"
#include "text/textutil.h"

namespace ks {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && sameText(text.substr(0, prefix.size()), prefix);
}

void addWord(std::vector<std::string>& words, std::string_view line) {
  const std::string_view word = trim(line);
  if (!word.empty()) words.emplace_back(word);
}

}  // namespace

void GameWords::Load(const std::string& source, const std::filesystem::path& programFolder,
                     const std::string& builtText) {
  words_.reset();
  if (source.empty() || source == "0" || startsWithNoCase(source, "-stud-") ||
      startsWithNoCase(source, "-none-"))
    return;
  std::vector<std::string> words;
  if (startsWithNoCase(source, "WORDBUILDER:")) {
    size_t from = 0;
    while (from <= builtText.size()) {
      const size_t end = builtText.find_first_of("\r\n", from);
      addWord(words, std::string_view(builtText).substr(from, end - from));
      if (end == std::string::npos) break;
      from = end + 1;
    }
  } else {
    const bool bare =
        source.find('\\') == std::string::npos && source.find('/') == std::string::npos;
    std::string path = source;
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
    if (bare) path = (programFolder / source).string();
    TTextFile file;
    if (file.OpenText(path, TTextFile::tmRead) >= 0) {
      std::string line;
      while (file.ReadLine(line)) addWord(words, line);
    }
    file.Close();
  }
  Set(words);
}

void GameWords::Set(const std::vector<std::string>& words) {
  words_ = words;
  index_ = words.size();
}

std::string GameWords::Next(Random& random, bool lower) {
  current_ = "--";
  if (!words_) return current_;
  if (words_->empty()) return current_ = "n/a";
  if (++index_ >= words_->size()) {
    ShuffleStrings(*words_, random);
    index_ = 0;
  }
  const std::string& word = (*words_)[index_];
  current_ = lower ? lowerCase(word) : word;
  return current_;
}

}  // namespace ks
