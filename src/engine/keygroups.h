// The key groups of the new-key drills: how a group is cut from the drill text, and the group
// on show as the text the learner types over, with the state of every cap.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/canvasmodel.h"

namespace ks {

// The next group from `pos`: characters up to the fourth blank, or up to a line break once the
// group holds more than blanks (the break is consumed, not typed). CR and LF are never part of
// a group; with Enter as the separator the blanks of the group become Enter. Empty at the end.
std::string TakeKeyGroup(std::string_view text, size_t& pos, unsigned char separator);
// The older drill's group: the next four characters that are not blanks or line breaks,
// followed by the separator. Empty at the end.
std::string TakeOlderKeyGroup(std::string_view text, size_t& pos, unsigned char separator);

enum class CapState {
  Pending,    // not reached yet
  Current,    // the key to type now
  Right,      // typed right at the first attempt
  Corrected,  // typed right after a wrong key
};

// A part of a group ends at the separator; after each part the drill shows how it went.
enum class PartResult { Open, Ok, Fail };

struct CapPlace {
  int Row = 0;     // two parts per row
  int Column = 0;  // caps before it in its row
  int Part = 0;
};

class KeyGroupModel : public ViewCanvasModel {
 public:
  // The separator that ends parts and that the groups are cut with.
  unsigned char Separator = ' ';
  bool Older = false;  // cut the older drill's groups

  // The character at the cursor; 0 once the group is typed (or when there is none).
  unsigned char ExpectedChar() const override;
  std::string WordAt(int offset) const override { return offset == 0 ? group_ : std::string(); }
  bool CurrentIsLineFinal() const override { return false; }
  void Advance() override;
  void MarkError() override;
  // A new drill text; no group is taken yet.
  void LoadText(std::string_view text, int startOffset) override;
  // Share of the text cut into groups so far: 0 for an empty text.
  int Progress() const override;

  // Takes the next group; false when the text is used up (the group is then empty).
  bool TakeNext();
  // Offers the same group again from its start.
  void Restart();

  const std::string& Group() const { return group_; }
  size_t Cursor() const { return cursor_; }
  bool Typed() const { return cursor_ >= group_.size(); }
  bool HadError() const;
  CapState StateOf(size_t i) const;
  std::vector<CapPlace> Places() const;
  int PartCount() const;
  PartResult ResultOf(int part) const;

 private:
  std::string text_;
  size_t pos_ = 0;
  std::string group_;
  size_t cursor_ = 0;
  std::vector<bool> wrong_;  // a wrong key was typed at that cap
};

}  // namespace ks
