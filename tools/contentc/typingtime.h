// Results typed in ten seconds or less are never measured, so a fast learner must not be able
// to finish a shipped text or exam that quickly: each must keep a 150 wpm typist busy longer.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "contentc/compiler.h"

namespace ks::contentc {

// Keystrokes a 150 wpm typist (five keystrokes a word) types in ten seconds.
constexpr int kTenSecondsAtTopSpeed = 125;

// The keystrokes of an event text: its lines without author lines, each line end one key;
// repeated texts count their six copies.
int typingKeystrokes(const std::string& text1252, bool repeated);

// Checks the text and exam lines of every compiled course among `installed` (installed relative
// path in generic form -> compiled 1252 bytes): their texts must take longer than
// kTenSecondsAtTopSpeed keystrokes. `displayOf` names a course's source in diagnostics.
std::vector<Diagnostic> checkTypingTimes(const std::map<std::string, std::string>& installed,
                                         const std::map<std::string, std::string>& displayOf);

}  // namespace ks::contentc
