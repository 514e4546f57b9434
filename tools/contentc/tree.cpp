// Walking the data folder and writing the installation.
#include <algorithm>
#include <map>
#include <ostream>

#include "contentc/compiler.h"
#include "contentc/msgcheck.h"
#include "contentc/typingtime.h"
#include "platform/sharedfile.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks::contentc {

namespace {

struct Output {
  fs::path path;
  std::string bytes;
};

// Sorted, so that diagnostics and writes come in a stable order.
std::vector<fs::path> listTree(const fs::path& root, std::vector<fs::path>& folders) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::path relative = it->path().lexically_relative(root);
    const std::string name = relative.filename().string();
    if (!name.empty() && name[0] == '.') {
      if (it->is_directory()) it.disable_recursion_pending();
      continue;
    }
    if (it->is_directory()) {
      folders.push_back(relative);
    } else if (it->is_regular_file()) {
      files.push_back(relative);
    }
  }
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  return files;
}

}  // namespace

int compileTree(const fs::path& dataDir, const fs::path& outDir, std::ostream& log) {
  if (!fs::is_directory(dataDir)) {
    log << dataDir.string() << ": error: the content folder does not exist\n";
    return 1;
  }
  std::vector<fs::path> folders;
  const std::vector<fs::path> files = listTree(dataDir, folders);
  std::vector<Diagnostic> errors;
  std::vector<Output> outputs;
  // The programs find files ignoring letter case, so two sources must not differ only by it.
  std::map<std::string, fs::path> installedNames;
  std::map<std::string, std::string> compiledByName, displayOf;
  for (const fs::path& relative : files) {
    if (kindOf(relative) == FileKind::Skip) continue;
    const std::string display = (dataDir / relative).string();
    const fs::path installed = outputName(relative);
    auto [it, fresh] = installedNames.emplace(upperCase(installed.generic_string()), relative);
    if (!fresh) {
      errors.push_back({display, 0, "installs under the same name as " + it->second.string()});
      continue;
    }
    std::string source;
    if (!readWholeFile(dataDir / relative, source)) {
      errors.push_back({display, 0, "cannot be read"});
      continue;
    }
    Compiled compiled = compileFile(relative, source, display);
    errors.insert(errors.end(), compiled.errors.begin(), compiled.errors.end());
    compiledByName[installed.generic_string()] = compiled.bytes;
    displayOf[installed.generic_string()] = display;
    outputs.push_back({outDir / installed, std::move(compiled.bytes)});
  }
  const std::vector<Diagnostic> slow = checkTypingTimes(compiledByName, displayOf);
  errors.insert(errors.end(), slow.begin(), slow.end());
  const std::vector<Diagnostic> untranslated = checkTranslations(compiledByName, displayOf);
  errors.insert(errors.end(), untranslated.begin(), untranslated.end());
  if (errors.empty()) {
    std::error_code ec;
    fs::create_directories(outDir, ec);
    for (const fs::path& folder : folders) fs::create_directories(outDir / outputName(folder), ec);
    for (const Output& out : outputs) {
      std::string old;
      if (fs::exists(out.path) && readWholeFile(out.path, old) && old == out.bytes) continue;
      if (!writeWholeFile(out.path, out.bytes))
        errors.push_back({out.path.string(), 0, "cannot be written"});
    }
  }
  for (const Diagnostic& d : errors) log << formatDiagnostic(d) << '\n';
  return static_cast<int>(errors.size());
}

}  // namespace ks::contentc
