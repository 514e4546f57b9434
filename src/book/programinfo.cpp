#include "book/programinfo.h"

#include <cstdio>
#include <cstring>

namespace ks {
namespace {

// The product a command belongs to, as the programs name themselves.
const char* productOf(const char* program) {
  if (std::strcmp(program, "keyscholar") == 0) return "Quillstroker";
  if (std::strcmp(program, "tapwatch") == 0) return "Quillstroker Sidewatch";
  return nullptr;
}

}  // namespace

std::optional<int> answerInfoSwitches(int argc, char** argv, const char* program,
                                      const char* summary, const char* usage) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("Usage: %s %s\n%s\n", program, usage, summary);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-V") == 0) {
      if (const char* product = productOf(program)) {
        std::printf("%s (%s) %s\n", program, product, kVersion);
      } else {
        std::printf("%s %s\n", program, kVersion);
      }
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace ks
