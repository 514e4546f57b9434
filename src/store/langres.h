// Every text the programs show is a numbered message from the active language file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ks {

extern std::string ActiveLanguage;  // upper case, e.g. "ENG"; empty until loaded
extern std::string ProductName;     // message 2, kept by the start-up

class TLocalize {
 public:
  // Where the language list and the language files are (the installation folder).
  void SetFolder(const std::filesystem::path& folder) { folder_ = folder; }
  const std::filesystem::path& folder() const { return folder_; }

  // 0 on success, -1 on failure. `basePath` is the base name ("language"), relative to the
  // folder unless absolute.
  int LoadLanguage(const std::string& basePath, int mode);
  // Reads one language file: mode 1 replaces the table, 2 overrides slots, 3 fills unset slots.
  int LoadStringFile(const std::filesystem::path& path, int mode);

  std::string GetString(int id) const;
  std::string GetStringDefault(int id) const;
  // Each id other than -1 adds a CR and its text.
  std::string ComposeMessage(int id1, int id2 = -1, int id3 = -1, int id4 = -1, int id5 = -1,
                             int id6 = -1, int id7 = -1, int id8 = -1) const;
  void SetString(int id, const std::string& text);

  std::string LanguageCodeAt(int index) const;
  int LanguageIndex(const std::string& code) const;
  // 1 when the language changed (and the table was reloaded), else 0.
  int SetLanguage(const std::string& code);
  // As `SetLanguage`, but only for a language the list names: the desktop's language is taken
  // when the installation has it, and never reported missing when it does not.
  int SetListedLanguage(const std::string& code);

  const std::vector<std::string>& languageList() const { return languageList_; }
  const std::vector<std::string>& languageNames() const { return languageNames_; }
  int tableSize() const { return static_cast<int>(table_.size()); }
  // The text of the last load failure ("" when none).
  const std::string& lastError() const { return lastError_; }
  // Forgets the table and the language list (a fresh start, for tests and language changes).
  void Reset();

 private:
  void loadLanguageList();
  int fail(const std::string& text);

  std::filesystem::path folder_ = ".";
  std::vector<std::string> table_;
  std::vector<bool> set_;
  int previousSize_ = 0;
  std::vector<std::string> languageList_;
  std::vector<std::string> languageNames_;
  bool listLoaded_ = false;
  std::string defaultCode_;
  std::string lastError_;
};

// The program-wide table.
TLocalize& Localize();

}  // namespace ks
