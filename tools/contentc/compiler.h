// The content compiler: turns the installation content authored in UTF-8 under data/ into the
// byte-exact installation the programs read (Windows-1252, CR LF, the file names they look for).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace ks::contentc {

// One problem in a source file. `line` is 1-based; 0 means the file as a whole.
struct Diagnostic {
  std::string file;
  int line = 0;
  std::string message;
};

// "file:line: error: message", the form editors and build logs recognise.
std::string formatDiagnostic(const Diagnostic& d);

// How a source file is compiled, decided by its name.
enum class FileKind {
  Skip,      // repository notes (README.md, .gitkeep): not installed
  Binary,    // pictures, sounds: copied unchanged
  Text,      // courses, layouts, texts: converted line by line, optionally scrambled
  Settings,  // settings stores and INI files: converted, "#" comment lines and blank lines dropped
  Language,  // language files: converted, checked and sorted by message id
};

FileKind kindOf(const std::filesystem::path& relative);

// The installed name of a source file (relative to the installation folder). Files in the
// lessons and keyboards folders, word lists and language files are lower case, as the programs
// and other installations name them; everything else keeps the authored name.
std::filesystem::path outputName(const std::filesystem::path& relative);

struct Compiled {
  std::string bytes;
  std::vector<Diagnostic> errors;
  bool ok() const { return errors.empty(); }
};

// Compiles one source. `displayName` names the file in diagnostics; `relative` (its path below
// the data folder) chooses the kind and, for language files, the installed name that id 0 must
// match.
Compiled compileFile(const std::filesystem::path& relative, std::string_view source,
                     const std::string& displayName);

// Splits UTF-8 source into lines of Windows-1252 text. A leading byte-order mark is dropped.
// A character without a 1252 code, or a broken UTF-8 sequence, is an error naming the line.
std::vector<std::string> toCp1252Lines(std::string_view source, const std::string& displayName,
                                       std::vector<Diagnostic>& errors);

// Compiles every file below `dataDir` into `outDir`, creating the folders (also those that hold
// only notes). All sources are compiled before anything is written; with any error nothing is
// written and the errors are reported to `log`. Unchanged outputs are left untouched. Returns the
// number of errors.
int compileTree(const std::filesystem::path& dataDir, const std::filesystem::path& outDir,
                std::ostream& log);

}  // namespace ks::contentc
