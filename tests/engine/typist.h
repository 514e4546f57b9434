// A learner at a keyboard for the checker tests: the measures, analyzer and key statistics of a
// program run, a fake clock, a recording event host and sound, and a way to type a text.
#pragma once

#include <string>
#include <vector>

#include "analysis/analyzer.h"
#include "engine/textmodel.h"
#include "engine/typingcore.h"

namespace ks::test {

class RecordingSound : public Sound {
 public:
  void play(SoundId id) override { played.push_back(id); }
  int errors() const {
    int n = 0;
    for (SoundId id : played) n += id == SoundId::Error;
    return n;
  }
  std::vector<SoundId> played;
};

class RecordingHost : public BasicTypingHost {
 public:
  using BasicTypingHost::BasicTypingHost;
  void ShowRhythmLight(int light) override { lights.push_back(light); }
  void ShowProgress(int percent) override { progress.push_back(percent); }
  void ShowWrongKey(unsigned char key, unsigned char expected) override {
    wrong.push_back({key, expected});
  }
  void GoalKeyPress(unsigned char& key) override {
    if (swallow) key = 0;
  }
  std::vector<int> lights;
  std::vector<int> progress;
  std::vector<std::pair<unsigned char, unsigned char>> wrong;
  bool swallow = false;
};

class RecordingLog : public TypedTextLog {
 public:
  struct Entry {
    std::string expected, typed;
    unsigned char key;
    bool operator==(const Entry&) const = default;
  };
  void Add(std::string_view expected, std::string_view typed, unsigned char key) override {
    entries.push_back({std::string(expected), std::string(typed), key});
  }
  std::vector<Entry> entries;
};

struct Typist {
  FakeClock clock;
  Measures measures{clock};
  DifficultKeySets keys;
  Analyzer analyzer{measures, keys};
  RecordingSound sound;
  LessonOptions options;
  RecordingHost host{measures};
  TypingServices services{clock, analyzer, sound, options};

  // Types `keys` one by one, `ms` apart; "<" stands for Backspace, "|" for Enter.
  void type(TypingCore& checker, const std::string& text, int ms = 200) {
    for (char ch : text) {
      unsigned char key = static_cast<unsigned char>(ch);
      if (ch == '<') key = 8;
      if (ch == '|') key = 13;
      clock.advance(ms);
      checker.KeyPress(key);
    }
  }
  TEfficiencyInfo& counters() { return measures.Efficiency; }
};

}  // namespace ks::test
