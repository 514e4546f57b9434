#include "games/gamesmenu.h"

#include <algorithm>

#include "games/abcgame.h"
#include "store/filelists.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

std::string suffix(const std::string& language) {
  return "." + language;
}

}  // namespace

GameStart wordGameStart(bool clouds, const std::string& vocabulary, const std::string& language) {
  GameStart s;
  s.Line = std::string(clouds ? "Event=Clouds;0;" : "Event=Wordtris;0;") + vocabulary + ".vcb" +
           suffix(language) + (clouds ? ";true" : "");
  s.StudiedWords = vocabulary == kStudiedVocabulary;
  return s;
}

GameStart bubblesStart(int choice, bool studiedKeysOffered, const GameKeySets& keys) {
  GameStart s;
  s.Line = "Event=Bubbles;0;";
  // The entries: 0 the studied keys (when offered), 1 a to z, 2 aA to zZ, 3 0 to 9. Without
  // the studied keys, "a to z" leaves the letters to the game's default.
  switch (studiedKeysOffered ? choice - 1 : choice) {
    case 0:
      s.LearnerLevel = true;
      break;
    case 1:
      if (studiedKeysOffered) s.PresetKeys = keys.Alphabet;
      break;
    case 2:
      s.PresetKeys = keys.Letters;
      break;
    case 3:
      s.PresetKeys = keys.Digits;
      break;
    default:
      break;
  }
  return s;
}

GameStart abcStart(int choice, const GameKeySets& keys) {
  GameStart s;
  s.Line = "Event=ABC;0;";
  switch (choice) {
    case 1:
      s.PresetKeys.assign(keys.Alphabet.rbegin(), keys.Alphabet.rend());
      break;
    case 2:
      for (char c : keys.Alphabet) {
        s.PresetKeys += c;
        s.PresetKeys += upperCase(std::string(1, c));
      }
      if (s.PresetKeys.size() > 255) s.PresetKeys.resize(255);
      break;
    case 3:
      s.PresetKeys = AbcModel::kPiDigits;
      break;
    default:
      s.PresetKeys = keys.Alphabet;
      break;
  }
  return s;
}

std::vector<std::string> abcEntries(const std::string& alphabetEntry,
                                    const std::string& lettersEntry) {
  return {alphabetEntry, std::string(alphabetEntry.rbegin(), alphabetEntry.rend()), lettersEntry,
          "1-10"};
}

int studiedWordCount(size_t keyCount) {
  if (keyCount == 0) return 0;
  return static_cast<int>(roundHalfEvenDiv(200, static_cast<int64_t>(keyCount)));
}

bool offersStudiedKeys(const std::string& keysUpToLevel, int keyGroups,
                       const std::string& letters) {
  if (keyGroups <= 0) return false;
  return std::any_of(keysUpToLevel.begin(), keysUpToLevel.end(),
                     [&letters](char c) { return letters.find(c) != std::string::npos; });
}

std::vector<std::string> vocabularyList(const std::filesystem::path& folder,
                                        const std::string& language, bool studiedKeysOffered,
                                        const std::string& studiedEntry) {
  const std::string pattern = "*.vcb" + suffix(language);
  if (!studiedKeysOffered) return ListPolicyOrFiles(pattern, folder);
  std::vector<std::string> items = ListWithFirst((folder / pattern).string(), studiedEntry);
  for (std::string& item : items) item = TitleCase(item);
  return items;
}

std::string vocabularyChoice(const std::string& title, int index, bool studiedKeysOffered) {
  if (studiedKeysOffered && index == 0) return kStudiedVocabulary;
  return lowerCase(title);
}

}  // namespace ks
