// The review word data of a course: the ".hdr" index says which ".wzd" text records hold words
// or sentence pieces for a key at a key level. Both files are read whole, as binary streams
// without a header; damaged records are skipped or clamped so that a broken file never reads
// outside its own data.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

class TDynamicSettings;

inline constexpr int kWordIndexRecordSize = 10;  // five signed 16-bit integers
inline constexpr int kWordDataRecordSize = 25;   // a length byte and up to 24 characters
inline constexpr int kWordTextMax = 24;
inline constexpr int kWordIndexMax = 2999;  // index records read at most

enum WordKind : int { wkWords = 1, wkSentences = 2 };

struct WordIndexRecord {
  unsigned char Key = 0;  // the low byte of the stored value
  int Level = 0;
  int Kind = 0;
  int First = 0;  // 0-based data record
  int Count = 0;
};

// Index records from the bytes of a ".hdr" file: at most 2999, a cut last record is dropped.
std::vector<WordIndexRecord> parseWordIndex(std::string_view bytes);
// The text of data record `number` of a ".wzd" file; "" outside the file. A length byte above
// 24 is read as 24.
std::string wordDataText(std::string_view bytes, int number);

class WordData {
 public:
  // Reads both files. Returns 1, or the open status of the first file that failed (then
  // FailedFile() names it and nothing is loaded).
  int Open(const std::string& headerPath, const std::string& dataPath);

  const std::vector<WordIndexRecord>& Index() const { return index_; }
  // The texts of a record, in file order; a record with a negative start or count gives none,
  // one that runs past the end of the data gives what is there.
  std::vector<std::string> Texts(const WordIndexRecord& record) const;
  const std::string& FailedFile() const { return failedFile_; }

 private:
  std::vector<WordIndexRecord> index_;
  std::string data_;
  std::string failedFile_;
};

// The files of the word data set in use.
struct WordDataFiles {
  std::string Header;
  std::string Data;
};

// Chooses the word data set: the builder's own `wizard` when set; else the learner's
// "DefaultWizard" when its ".wzd" exists in `lessons`; else the policy's "DefaultWizard". A
// loaded course that names its own set (`courseWizard`) overrides that choice, each of its two
// files falling back to the policy's set when missing.
WordDataFiles chooseWordData(const std::string& wizard, const std::string& courseWizard,
                             TDynamicSettings* userSettings, const std::filesystem::path& lessons);

}  // namespace ks
