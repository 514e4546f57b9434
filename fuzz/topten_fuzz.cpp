// High-score lists ("<game>.topten", 264-byte records): loaded, a score entered under a name and
// saved, and the saved list loaded again.
#include <cstdint>

#include "fuzzfolder.h"
#include "platform/clock.h"
#include "store/topten.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  folder.clear();
  const std::string_view in = ks::fuzz::bytesOf(data, size);
  const ks::FakeClock clock;
  ks::TtopTen scores("Wordtris", folder.path(), &clock);
  folder.write(scores.FilePath().filename().string(), in);
  if (!scores.Load()) return 0;
  scores.DisplayLines();
  const int32_t score = scores.Length() > 0 ? scores.Entry(0).Score : 500;
  const int rank = scores.Insert(score, std::string(in.substr(0, 300)));
  if (rank > 0) scores.SetName(rank - 1, "Fuzz");
  if (!scores.Save()) return 0;

  ks::TtopTen back("Wordtris", folder.path(), &clock);
  if (!back.Load()) __builtin_trap();
  back.DisplayLines();
  // The next score up; a list may hold the highest score there is.
  back.CommitName(score == INT32_MAX ? score : score + 1, "");
  return 0;
}
