// The review word data: the index (".hdr") and the text records (".wzd") it points into, read
// as the review builders read them.
#include "content/worddata.h"
#include "fuzzfolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  folder.clear();
  const auto [header, texts] = ks::fuzz::splitInput(ks::fuzz::bytesOf(data, size));
  for (const ks::WordIndexRecord& record : ks::parseWordIndex(header)) {
    ks::wordDataText(texts, record.First);
    ks::wordDataText(texts, record.First + record.Count - 1);
  }
  const std::string headerPath = folder.write("fuzz.hdr", header).string();
  const std::string dataPath = folder.write("fuzz.wzd", texts).string();
  ks::WordData words;
  if (words.Open(headerPath, dataPath) != 1) return 0;
  size_t total = 0;
  for (const ks::WordIndexRecord& record : words.Index()) {
    total += words.Texts(record).size();
    // Records may overlap: the texts read stay within the data, never more than it holds.
    if (total > 3000 * (texts.size() / ks::kWordDataRecordSize + 1)) __builtin_trap();
  }
  return 0;
}
