// contentc DATA-DIR INSTALL-DIR
//   Compiles the authored content into the installation folder.
// contentc --check-messages LANGUAGE-FILE SOURCE-DIR...
//   Lists every message number the sources look up that the language file does not define.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "contentc/compiler.h"
#include "contentc/msgcheck.h"
#include "platform/sharedfile.h"

namespace fs = std::filesystem;

namespace {

int usage() {
  std::cerr << "usage: contentc DATA-DIR INSTALL-DIR\n"
               "       contentc --check-messages LANGUAGE-FILE SOURCE-DIR...\n";
  return 2;
}

int checkMessages(const fs::path& languageFile, const std::vector<fs::path>& roots) {
  std::string language;
  if (!ks::readWholeFile(languageFile, language)) {
    std::cerr << languageFile.string() << ": error: cannot be read\n";
    return 1;
  }
  const auto missing = ks::contentc::missingMessages(ks::contentc::scanMessageUses(roots),
                                                     ks::contentc::definedMessageIds(language));
  for (const auto& use : missing) {
    std::cerr << use.file << ":" << use.line << ": error: message " << use.id
              << " is not defined in " << languageFile.string() << "\n";
  }
  return missing.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 3 && args[0] == "--check-messages") {
    return checkMessages(args[1], std::vector<fs::path>(args.begin() + 2, args.end()));
  }
  if (args.size() != 2) return usage();
  const int errors = ks::contentc::compileTree(args[0], args[1], std::cerr);
  if (errors > 0) {
    std::cerr << "contentc: " << errors << " error(s); the installation was not changed\n";
    return 1;
  }
  return 0;
}
