// What the games menu starts: the event line of each game and the loader settings that go with
// the player's choice of keys or word list, and the lists the menu offers.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ks {

// The vocabulary that stands for the learner's studied keys.
inline constexpr const char* kStudiedVocabulary = "-stud-";

// The language's key sets the menu offers (messages 221, 222 and 223).
struct GameKeySets {
  std::string Alphabet;  // a to z
  std::string Letters;   // a to z and A to Z
  std::string Digits;    // 0 to 9
};

// One game start: the line the loader runs and how the loader is set up for it.
struct GameStart {
  std::string Line;
  std::string PresetKeys;     // the loader's known keys; empty: none
  bool LearnerLevel = false;  // the loader's key level is the learner's current one
  bool StudiedWords = false;  // the words are built from the learner's studied keys
};

// Wordtris or Clouds on `vocabulary` (a list's title in lower case, or "-stud-"); `language`
// is the active language code.
GameStart wordGameStart(bool clouds, const std::string& vocabulary, const std::string& language);
// Bubbles with the `choice`-th entry (from 1) of its key list.
GameStart bubblesStart(int choice, bool studiedKeysOffered, const GameKeySets& keys);
// The ABC game with the `choice`-th entry (from 0) of its sequence list.
GameStart abcStart(int choice, const GameKeySets& keys);
// The ABC entries: "a - z", the same reversed, "aA - zZ" and "1-10".
std::vector<std::string> abcEntries(const std::string& alphabetEntry,
                                    const std::string& lettersEntry);

// How many words per key the studied-keys vocabulary asks for: 200 / keys, to even.
int studiedWordCount(size_t keyCount);
// Whether the learner's keys up to the current level hold a letter (of `letters`, message 12)
// and the learner has a key order at all.
bool offersStudiedKeys(const std::string& keysUpToLevel, int keyGroups, const std::string& letters);
// The word lists of `folder` for `language` as titles, the studied-keys entry first when
// offered.
std::vector<std::string> vocabularyList(const std::filesystem::path& folder,
                                        const std::string& language, bool studiedKeysOffered,
                                        const std::string& studiedEntry);
// What a choice of entry `index` with title `title` stands for.
std::string vocabularyChoice(const std::string& title, int index, bool studiedKeysOffered);

}  // namespace ks
