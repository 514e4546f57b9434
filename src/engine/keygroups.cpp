#include "engine/keygroups.h"

#include <algorithm>

#include "text/numbers.h"

namespace ks {
namespace {

bool isBreak(char c) {
  return c == '\r' || c == '\n';
}

// Skips one line break (CR LF, CR or LF) at `pos`.
void skipBreak(std::string_view text, size_t& pos) {
  if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
  ++pos;
}

}  // namespace

std::string TakeKeyGroup(std::string_view text, size_t& pos, unsigned char separator) {
  std::string group;
  int blanks = 0;
  bool hasKeys = false;  // more than blanks and tabs
  while (pos < text.size()) {
    const char c = text[pos++];
    if (!isBreak(c)) group += c;
    if (c == ' ') ++blanks;
    if (!isBreak(c) && c != ' ' && c != '\t') hasKeys = true;
    if (separator == 13 && !group.empty() && group.back() == ' ') group.back() = '\r';
    if (pos < text.size() && isBreak(text[pos]) && hasKeys) {
      skipBreak(text, pos);
      break;
    }
    if (blanks >= 4) break;
  }
  return group;
}

std::string TakeOlderKeyGroup(std::string_view text, size_t& pos, unsigned char separator) {
  std::string group;
  while (pos < text.size() && group.size() < 4) {
    const char c = text[pos++];
    if (c != ' ' && !isBreak(c)) group += c;
  }
  if (!group.empty()) group += static_cast<char>(separator);
  return group;
}

unsigned char KeyGroupModel::ExpectedChar() const {
  return cursor_ < group_.size() ? static_cast<unsigned char>(group_[cursor_]) : 0;
}

void KeyGroupModel::Advance() {
  if (cursor_ < group_.size()) ++cursor_;
}

void KeyGroupModel::MarkError() {
  if (cursor_ < wrong_.size()) wrong_[cursor_] = true;
}

void KeyGroupModel::LoadText(std::string_view text, int) {
  text_.assign(text);
  pos_ = 0;
  group_.clear();
  cursor_ = 0;
  wrong_.clear();
}

int KeyGroupModel::Progress() const {
  if (text_.empty()) return 0;
  const auto len = static_cast<int64_t>(text_.size());
  return static_cast<int>(std::min<int64_t>(100, roundHalfEvenDiv(int64_t(pos_) * 100, len)));
}

bool KeyGroupModel::TakeNext() {
  group_ = Older ? TakeOlderKeyGroup(text_, pos_, Separator) : TakeKeyGroup(text_, pos_, Separator);
  Restart();
  return !group_.empty();
}

void KeyGroupModel::Restart() {
  cursor_ = 0;
  wrong_.assign(group_.size(), false);
}

bool KeyGroupModel::HadError() const {
  return std::find(wrong_.begin(), wrong_.end(), true) != wrong_.end();
}

CapState KeyGroupModel::StateOf(size_t i) const {
  if (i < cursor_) return wrong_[i] ? CapState::Corrected : CapState::Right;
  return i == cursor_ ? CapState::Current : CapState::Pending;
}

std::vector<CapPlace> KeyGroupModel::Places() const {
  std::vector<CapPlace> places;
  int part = 0, column = 0;
  for (char c : group_) {
    places.push_back({part / 2, column, part});
    ++column;
    if (static_cast<unsigned char>(c) == Separator) {
      ++part;
      if (part % 2 == 0) column = 0;
    }
  }
  return places;
}

int KeyGroupModel::PartCount() const {
  const std::vector<CapPlace> places = Places();
  return places.empty() ? 0 : places.back().Part + 1;
}

PartResult KeyGroupModel::ResultOf(int part) const {
  const std::vector<CapPlace> places = Places();
  bool any = false, done = true;
  for (size_t i = 0; i < places.size(); ++i) {
    if (places[i].Part != part) continue;
    any = true;
    if (wrong_[i]) return PartResult::Fail;
    if (i >= cursor_) done = false;
  }
  return any && done ? PartResult::Ok : PartResult::Open;
}

}  // namespace ks
