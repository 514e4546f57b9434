// Word data written by hand, a learner with a key order, and the shipped US layout for the
// review and builder tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/shippedkbd.h"
#include "content/worddata.h"
#include "coursefakes.h"
#include "store/recordingdialogs.h"
#include "support/tempdir.h"

namespace ks::test {

inline std::string int16Bytes(int value) {
  const auto v = static_cast<uint16_t>(static_cast<int16_t>(value));
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

inline std::string indexBytes(const std::vector<WordIndexRecord>& records) {
  std::string out;
  for (const WordIndexRecord& r : records) {
    out += int16Bytes(r.Key) + int16Bytes(r.Level) + int16Bytes(r.Kind) + int16Bytes(r.First) +
           int16Bytes(r.Count);
  }
  return out;
}

inline std::string dataBytes(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) {
    std::string record(kWordDataRecordSize, '\0');
    record[0] = static_cast<char>(t.size());
    record.replace(1, t.size(), t);
    out += record;
  }
  return out;
}

// A small word data set "eng" in the style of the generator: per key the records of falling
// levels share one block of texts sorted by level. Key order: fjdk, sla;, ei, ru.
struct SmallWordData {
  std::vector<std::string> texts{// 0..4: "f" words; levels 1, 2, 2, 3, 4
                                 "dfk", "flask", "fads", "field", "fuel",
                                 // 5..7: "j" words; levels 2, 3, 4
                                 "jalj", "jeff", "juries",
                                 // 8..9: "f" sentence pieces; levels 2, 3
                                 "a sad fad", "feel as if",
                                 // 10: "," word
                                 "ja,"};
  std::vector<WordIndexRecord> index{
      {'f', 4, wkWords, 0, 5},  {'f', 3, wkWords, 0, 4},     {'f', 2, wkWords, 0, 3},
      {'f', 1, wkWords, 0, 1},  {'j', 4, wkWords, 5, 3},     {'j', 3, wkWords, 5, 2},
      {'j', 2, wkWords, 5, 1},  {'f', 3, wkSentences, 8, 2}, {'f', 2, wkSentences, 8, 1},
      {',', 2, wkWords, 10, 1},
  };

  void writeTo(const std::filesystem::path& folder, const std::string& name = "eng") const {
    writeFile(folder / (name + ".hdr"), indexBytes(index));
    writeFile(folder / (name + ".wzd"), dataBytes(texts));
  }
};

inline void addKeyOrder(FakeLearner& learner) {
  for (const char* group : {"fjdk", "sla;", "ei", "ru"}) learner.AddKeyGroup(group);
}

}  // namespace ks::test
