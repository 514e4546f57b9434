// Test texts: pairs of a descriptor ("<base>.exi", a settings store) and its text
// ("<base>.exm") in the texts folder, the list the choice offers, and the exam line a text
// becomes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/dynamicsettings.h"

namespace ks {

class TtypingTest : public TDynamicSettings {
 public:
  std::string BaseName;

  // The test's name ("name"; the store does not tell it from "Name"), which results and
  // certificates carry.
  std::string Name() { return ReadString("name"); }
  // What the list of texts shows: "title" (a shipped text names its author there), else the name.
  std::string Title();
  std::string Copyright() { return ReadString("copyright"); }
  // "MinAccuracy", "MinSpeed", "MinGrossSpeed" as the exam line takes them: a whole number, else
  // "0" (an empty field would shift the later criteria on the line).
  std::string Criterion(const std::string& key);
  // "1" when the whole text must be typed, else "2" (the text restarts at its end).
  std::string MustTypeAll();
  bool UserAdded() { return !ReadString("userAdded").empty(); }
};

// Reads folder + base + ".exi" in `mode`: 1, or 255 when the file cannot be read.
int LoadDescriptor(TtypingTest& descriptor, const std::string& baseName,
                   const std::filesystem::path& folder, int mode);

// The texts offered: the learner's own first (oldest first), then the shipped ones by name.
class TestTextList {
 public:
  // Lists the descriptors of `folder`. Without `showAll`, shipped texts of another language than
  // `languageCode` and hidden texts are left out. Descriptors that cannot be read are skipped.
  void LoadTestTexts(const std::filesystem::path& folder, bool showAll,
                     const std::string& languageCode);
  void FreeTestTexts() { texts_.clear(); }
  // By base name, ignoring case; null when not listed.
  TtypingTest* FindTestText(const std::string& baseName) const;
  TtypingTest* TestTextAt(int index) const;
  int IndexOf(const std::string& baseName) const;
  int Count() const { return static_cast<int>(texts_.size()); }
  // The titles the list shows, in its order.
  std::vector<std::string> TestTextNames() const;
  // Drops the text from the list and deletes its two files; false when a file stayed.
  bool DeleteTestText(TtypingTest* text, const std::filesystem::path& folder);

 private:
  std::vector<std::unique_ptr<TtypingTest>> texts_;
};

// What a fast typist types in a minute (150 words of 5 characters): a timed test's texts should
// hold this many characters per minute of it.
constexpr uintmax_t kTestCharsPerMinute = 150 * 5;

// The ".exm" files a timed test types: the chosen text, then the texts after it in `offered`
// (from its start when the chosen one is not listed, round to the start), until they hold
// `characters` or every text is in.
std::vector<std::filesystem::path> ContinuedTextFiles(const TestTextList& offered,
                                                      const std::string& chosenBase,
                                                      const std::filesystem::path& folder,
                                                      uintmax_t characters);

// The base name of a text reference: the part after the last "\" or "/" and before the first ".".
std::string TestBaseName(const std::string& reference);
// The text field of a test: "FILE:" and the text's file, escaped for the event line.
std::string TestTextField(const std::filesystem::path& folder, const std::string& baseName);
// The typing test's own exam: "Event=EXAMINTERNAL;0;" + text + ";False;" + MinGrossSpeed + ";" +
// MinAccuracy + ";0;" + MinSpeed + ";" + mustTypeAll.
std::string ExamInternalLine(const std::string& textField, TtypingTest& descriptor);
// Minutes of a duration text: the number before the first blank, 0 when none, kept in 0..200.
int DurationMinutes(const std::string& text);

}  // namespace ks
