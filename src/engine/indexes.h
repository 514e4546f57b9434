// Indexes derived from the key statistics and the word table, their labels, and how a speed is
// shown.
#pragma once

namespace ks {

class TDifficultKeys;
class TWordList;

// The difficulty of an exercise (DIFFINDEX): the eight most difficult keys, the first four
// weighing more.
int DifficultyIndex(const TDifficultKeys& keys);

// The key index (the eight most difficult lower-case keys) and the capital index (the six most
// difficult upper-case keys) that the problem index is made of.
int KeyIndex(const TDifficultKeys& keys);
int CapitalIndex(const TDifficultKeys& keys);

// The learner's problem index from the most difficult lower- and upper-case keys and, when
// words are collected (`words` given), the word index of the monitor and user-added words.
// Screenshot mode shows a fixed figure.
int ProblemIndex(const TDifficultKeys& keys, const TWordList* words, bool screenshotMode = false);

// Message numbers of the labels for an index value; 0 when the value has none.
int IndexLabel(int value);   // 315..318
int IndexLabel2(int value);  // 319..323

// A speed in keystrokes per minute as shown: itself when the learner counts keystrokes ("cpm"),
// else whole words of `wordLength` characters per minute.
int DisplaySpeed(int keystrokesPerMinute, bool cpm, int wordLength);
// The message number of the unit caption.
inline int SpeedUnitMessage(bool cpm) {
  return cpm ? 209 : 208;
}

}  // namespace ks
