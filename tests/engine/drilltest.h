// A learner at a keyboard drill: the typist of the checker tests, a shipped layout with its
// keyboard model, a display that records what the drill shows, and typing that lets the drill's
// timers run between keys.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "analysis/shippedkbd.h"
#include "engine/drillbase.h"
#include "typist.h"

namespace ks::test {

class RecordingDisplay : public DrillDisplay {
 public:
  void ShowFinger(int finger) override {
    finger_ = finger;
    mask = 0;
  }
  void ShowFingers(uint16_t m) override {
    finger_ = -1;
    mask = m;
  }
  void ShowRepetitions(int c, int t, bool v) override {
    correct = c;
    target = t;
    visible = v;
    shownCounts.push_back(c);
  }
  void GroupChanged() override { ++groupChanges; }
  void ShowFingerLabel(const std::string& text) override { label = text; }
  void ShowIntroLines(const std::string& r1, const std::string& r2) override {
    row1 = r1;
    row2 = r2;
    text.clear();
  }
  void ShowIntroText(const std::string& t) override {
    text = t;
    row1.clear();
    row2.clear();
  }
  void Close(int result) override { closes.push_back(result); }

  int finger() const { return finger_; }

  int finger_ = 0;
  uint16_t mask = 0;
  int correct = 0, target = 0;
  bool visible = false;
  std::vector<int> shownCounts;
  int groupChanges = 0;
  std::string label, row1, row2, text;
  std::vector<int> closes;
};

// Random numbers from a list, round and round.
class ScriptedRandom : public Random {
 public:
  int32_t next(int32_t) override { return values.empty() ? 0 : values[i++ % values.size()]; }
  std::vector<int32_t> values;
  size_t i = 0;
};

// The texts the drills show.
inline void setDrillMessages() {
  setKeyMessages();
  const std::pair<int, const char*> texts[] = {{155, "left ring finger"},
                                               {156, "left middle finger"},
                                               {157, "left index finger"},
                                               {158, "right index finger"},
                                               {159, "right middle finger"},
                                               {160, "right ring finger"},
                                               {150, "the Space bar"},
                                               {1712, " "},
                                               {1713, " with your "},
                                               {1714, "the accent key "},
                                               {1715, " and then "},
                                               {1716, "Now press "},
                                               {1717, "Hold down"},
                                               {1718, "and press "},
                                               {1719, " with your "},
                                               {1720, "Well done!"},
                                               {1721, "Right!"},
                                               {1722, "Excellent!"},
                                               {1723, "Not quite."},
                                               {1725, "Press "}};
  for (const auto& [id, t] : texts) Localize().SetString(id, t);
}

struct DrillBench : Typist {
  TempDir dir;
  TKeyDataExt layout;
  std::unique_ptr<TKeyboardModel> keyboard;
  RecordingDisplay display;
  ScriptedRandom random;

  void loadLayout(const std::string& file = "qwerty.kbd") {
    setDrillMessages();
    if (loadShippedLayout(layout, dir, file) != 1) throw std::runtime_error("no layout " + file);
    keyboard = std::make_unique<TKeyboardModel>(layout, clock);
  }
  DrillContext context() { return DrillContext{services, host, *keyboard, display, random}; }

  // Types `keys` one by one, `ms` apart, the drill's timers running meanwhile; "|" is Enter,
  // "<" Backspace.
  void type(KeyboardDrill& drill, const std::string& keys, int ms = 200) {
    for (char ch : keys) {
      unsigned char key = static_cast<unsigned char>(ch);
      if (ch == '<') key = 8;
      if (ch == '|') key = 13;
      wait(drill, ms);
      drill.KeyPress(key);
    }
  }
  void wait(KeyboardDrill& drill, int ms) { RunTimers(clock, drill.Timers(), ms); }

  // The keys with a flag, by their plain caption.
  std::set<std::string> keysWith(bool KeyDisplay::*flag) const {
    std::set<std::string> out;
    for (size_t i = 0; i < keyboard->KeyCount(); ++i) {
      if (keyboard->Display(i).*flag) out.insert(layout.getKeyCaption(keyboard->Key(i), 0));
    }
    return out;
  }
  std::set<std::string> lit() const { return keysWith(&KeyDisplay::Lit); }
  std::set<std::string> struck() const { return keysWith(&KeyDisplay::Struck); }
};

inline DrillSetup drillLine(std::vector<std::string> fields) {
  DrillSetup s;
  s.Fields = std::move(fields);
  return s;
}

}  // namespace ks::test
