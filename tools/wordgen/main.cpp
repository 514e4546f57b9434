// wordgen COURSE WORDS PIECES OUT-BASE
//   Writes OUT-BASE.hdr and OUT-BASE.wzd, the review word data of the course file COURSE, from
//   the word list WORDS and the sentence-piece list PIECES (all UTF-8).
#include <iostream>
#include <string>

#include "platform/sharedfile.h"
#include "text/cp1252.h"
#include "wordgen/wordgen.h"

namespace {

bool read1252(const std::string& path, std::string& out) {
  std::string utf8;
  if (!ks::readWholeFile(path, utf8)) {
    std::cerr << path << ": error: cannot be read\n";
    return false;
  }
  int bad = 0;
  out = ks::utf8ToCp1252(utf8, '?', &bad);
  if (bad > 0) {
    std::cerr << path << ": error: " << bad << " character(s) without a Windows-1252 code\n";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: wordgen COURSE WORDS PIECES OUT-BASE\n";
    return 2;
  }
  std::string course, words, pieces;
  if (!read1252(argv[1], course) || !read1252(argv[2], words) || !read1252(argv[3], pieces))
    return 1;
  const auto groups = ks::wordgen::courseKeyGroups(course);
  if (groups.empty()) {
    std::cerr << argv[1] << ": error: the course introduces no keys\n";
    return 1;
  }
  const auto data = ks::wordgen::buildWordData(groups, ks::wordgen::listWords(words),
                                               ks::wordgen::listPieces(pieces));
  for (const std::string& e : data.errors) std::cerr << argv[2] << ": error: " << e << "\n";
  if (!data.errors.empty()) return 1;
  const std::string base = argv[4];
  if (!ks::writeWholeFile(base + ".hdr", data.headerBytes()) ||
      !ks::writeWholeFile(base + ".wzd", data.dataBytes())) {
    std::cerr << base << ": error: the word data cannot be written\n";
    return 1;
  }
  return 0;
}
