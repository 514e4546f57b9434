#include "analysis/keyboardmodel.h"

namespace ks {
namespace {

// The colour set, one row per slot, one column per finger group (A to F). Captions of lit and
// hinted keys are dark ink: on these faces it reads at 4.5:1 or better, where white did not.
constexpr uint32_t kColours[21][6] = {
    // active face, bevel, side, caption, outline, top face
    {0xE7EBFF, 0xF6DADA, 0xDCF0D1, 0xF1E0F3, 0xEDE4D4, 0xE7EBFF},
    {0xF8FAFF, 0xFDF3F3, 0xF4FBEE, 0xFCF5FC, 0xFAF7F0, 0xF8FAFF},
    {0xB3BFFF, 0xE09F9F, 0xBDDD8F, 0xD5BAF7, 0xD1C9BA, 0xDBDFFC},
    {0x0019A1, 0x7D1D1D, 0x3E6F24, 0x682B6F, 0x67512C, 0x0019A1},
    {0x909ACE, 0xBC9090, 0x9CB58F, 0xB599B8, 0xA6B193, 0x909ACE},
    {0xF1F4FF, 0xFAE8E8, 0xE9F7E0, 0xF8ECF9, 0xF5EFE3, 0xF1F4FF},
    // lit face, bevel, side, caption, outline, top face
    {0x657CFE, 0xE06666, 0x8EC02C, 0xAB81FD, 0xA7A090, 0x657CFE},
    {0x92AEFF, 0xE76666, 0xC1E840, 0xDAB4FF, 0xC7C0B4, 0x92AEFF},
    {0x5C71FD, 0xAE4040, 0x81AF28, 0x9B75FB, 0x8C877D, 0x5C71FD},
    {0x16162A, 0x16162A, 0x16162A, 0x16162A, 0x16162A, 0x16162A},
    {0x4757B2, 0x863131, 0x64871F, 0x785BB2, 0x757068, 0x4757B2},
    {0x7D99FF, 0xEC8A8A, 0xADDD37, 0xCB9FFE, 0xBFB8AA, 0x7D99FF},
    // hint caption, face, bevel, side, outline, top face
    {0x16162A, 0x16162A, 0x16162A, 0x16162A, 0x16162A, 0x16162A},
    {0xB3BFFF, 0xE09F9F, 0xBDDD8F, 0xD5BAF7, 0xD1C9BA, 0xB3BFFF},
    {0xDBE3FF, 0xF5CACA, 0xE2F4BA, 0xF0E0FD, 0xF3EFE6, 0xDBE3FF},
    {0x9FAAFF, 0xCD8C8C, 0xA8CA7E, 0xC1A5EE, 0xB1AA9D, 0x9FAAFF},
    {0x5666B6, 0x9E6161, 0x749563, 0x936B97, 0x898274, 0x5666B6},
    {0xC4D0FF, 0xECAFAF, 0xCEEA9D, 0xE4CBFB, 0xE0D9CB, 0xC4D0FF},
    // plain face, caption, outline
    {0xF0F9EB, 0xF4F0DC, 0xE8F8D8, 0xF2F3E7, 0xF6F8E4, 0xF0F9EB},
    // The thumbs' caption is a shade of its face, as the other fingers' are: the same colour as
    // the face hid Alt and AltGr on a lesson's keyboard until they were taught.
    {0xB7C9EB, 0xE9C3B0, 0xC9ECB0, 0xE0CBD8, 0xD8D2BC, 0xB7C9EB},
    {0xAFC2EB, 0xE8BDA9, 0xC5EAAA, 0xDEC5D5, 0xC8C5B3, 0xAFC2EB},
};

enum Slot {
  ActiveFace,
  ActiveBevel,
  ActiveSide,
  ActiveCaption,
  ActiveOutline,
  ActiveTop,
  LitFace,
  LitBevel,
  LitSide,
  LitCaption,
  LitOutline,
  LitTop,
  HintCaption,
  HintFace,
  HintBevel,
  HintSide,
  HintOutline,
  HintTop,
  PlainFace,
  PlainCaption,
  PlainOutline,
};

}  // namespace

int KeyColourColumn(int finger, bool disableColour) {
  if (disableColour) return 0;
  switch (finger) {
    case 1:
    case 8:
      return 0;
    case 2:
    case 7:
      return 1;
    case 3:
    case 6:
      return 2;
    case 4:
    case 5:
      return 3;
    case 9:
    case 10:
      return 4;
    default:
      return 5;
  }
}

KeyLookColours KeyColours(int column, KeyLook look) {
  const auto c = [column](Slot s) { return kColours[s][column]; };
  switch (look) {
    case KeyLook::Lit:
      return {c(LitFace), c(LitBevel), c(LitSide), c(LitCaption), c(LitOutline), c(LitTop)};
    case KeyLook::Hinted:
      return {c(HintFace), c(HintBevel), c(HintSide), c(HintCaption), c(HintOutline), c(HintTop)};
    case KeyLook::Active:
      return {c(ActiveFace),    c(ActiveBevel),   c(ActiveSide),
              c(ActiveCaption), c(ActiveOutline), c(ActiveTop)};
    case KeyLook::Plain:
      break;
  }
  return {c(PlainFace), c(PlainFace), c(PlainFace), c(PlainCaption), c(PlainOutline), c(PlainFace)};
}

FingerColours LitFingerColours(int finger, bool disableColour) {
  if (disableColour) return {0x4757B2, 0x7D99FF};
  switch (finger) {
    case 2:
    case 7:
      return {0x863131, 0xDC5757};
    case 3:
      return {0x81AF28, 0xADDD37};
    case 6:
      return {0x64871F, 0xADDD37};
    case 4:
    case 5:
      return {0x785BB2, 0xCB9FFE};
    case 9:
    case 10:
      return {0x757068, 0xBFB8AA};
    default:
      return {0x4757B2, 0x7D99FF};
  }
}

bool IsAccentChar(unsigned char c) {
  switch (c) {
    case 0x27:
    case 0xB4:
    case 0x60:
    case 0x7E:
    case 0xA8:
    case 0x5E:
    case 0x22:
      return true;
    default:
      return false;
  }
}

TKeyboardModel::TKeyboardModel(TKeyDataExt& layout, const Clock& clock)
    : Timer(clock), layout_(&layout) {
  // The flags live here, not in the layout, so taking the layout needs no reload to clear them.
  flags_.assign(layout.Keys.size(), KeyDisplay{});
  FingerGuide = layout.FingerGuide;
  ShowPressed = !layout.KeybowlLayout;
  SingleCaptions = layout.KeybowlLayout;
  Timer.SetOnTimer([this] { timerTick(); });
}

std::vector<KeyDisplay>& TKeyboardModel::flags() const {
  if (flags_.size() != layout_->Keys.size()) {
    flags_.assign(layout_->Keys.size(), KeyDisplay{});
  }
  return flags_;
}

int TKeyboardModel::IndexOf(const TKeyInfoExt* key) const {
  if (!key) return -1;
  const auto& keys = layout_->Keys;
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].get() == key) return static_cast<int>(i);
  }
  return -1;
}

int TKeyboardModel::KeyIndexOf(char c) const {
  return IndexOf(layout_->findKey(std::string_view(&c, 1)).key);
}

KeyLook TKeyboardModel::LookOf(size_t i) const {
  const KeyDisplay& d = flags()[i];
  if (d.Lit) return KeyLook::Lit;
  if (d.Hinted) return KeyLook::Hinted;
  if (d.Marked || Key(i).AlwaysActive) return KeyLook::Active;
  return KeyLook::Plain;
}

bool TKeyboardModel::IsVisible(size_t i) const {
  const KeyDisplay& d = flags()[i];
  return !Key(i).HiddenUnlessLit || d.Lit || d.Hinted;
}

KeyLookColours TKeyboardModel::ColoursOf(size_t i) const {
  return KeyColours(KeyColourColumn(Key(i).Finger, DisableColour), LookOf(i));
}

void TKeyboardModel::ShowKeys(std::string_view struck, std::string_view lit, int delayMs,
                              std::string_view hint) {
  Timer.Stop();
  if (delayMs > 0) {
    sequence_ = {std::string(struck), std::string(lit), std::string(hint), 0};
    ClearHighlights();
    Timer.Start(delayMs);
    return;
  }
  ClearHighlights();
  HighlightKeys(struck, hlStruck);
  HighlightKeys(lit, hlLit);
  if (!hint.empty()) HighlightKeys(hint, hlHinted);
}

void TKeyboardModel::timerTick() {
  Timer.Stop();
  ClearHighlights();
  HighlightKeys(sequence_.struck, hlStruck);
  HighlightKeys(sequence_.lit, hlLit);
  if (sequence_.hint.empty()) return;
  if (sequence_.step == 0) {
    Timer.Start(Timer.Interval());
    sequence_.step = 1;
    HighlightKeys(sequence_.hint, hlHinted);
  } else if (sequence_.step == 1) {
    sequence_.step = 2;
    HighlightKeys(sequence_.hint, hlLit);
  }
}

void TKeyboardModel::setFlag(TKeyInfoExt* key, int mode) {
  const int i = IndexOf(key);
  if (i < 0) return;
  KeyDisplay& d = flags()[static_cast<size_t>(i)];
  if (mode == hlLit) d.Lit = true;
  if (mode == hlStruck) d.Struck = true;
  if (mode == hlHinted) d.Hinted = true;
}

void TKeyboardModel::HighlightKeys(std::string_view chars, int mode) {
  if (chars.empty()) return;
  for (const char c : chars) {
    FoundKey f = layout_->findKey(std::string_view(&c, 1));
    if (f.key) {
      DeadKeyPending = nullptr;
    } else {
      // Only a dead key that exists starts a sequence: a character no key types leaves the
      // next keystroke alone.
      const DeadKey dead = layout_->findDeadKey(c);
      if (dead.accent.key) {
        f = dead.accent;
        DeadKeyPending = dead.accent.key;
        PendingBase.assign(1, dead.base);
        if (mode == hlStruck) {
          const FoundKey base = layout_->findKey(std::string_view(&dead.base, 1));
          f.key = base.key;
          f.modifier = base.modifier;
        }
      }
    }
    ModifierCaption = f.modifier ? layout_->getKeyCaption(*f.modifier, 0) + " + " : "";
    LitFinger = f.key ? f.key->Finger : 0;
    if (!f.key) continue;
    setFlag(f.key, mode);
    setFlag(f.modifier, mode);
    setFlag(f.modifier2, mode);
    if (layout_->ExtraModifier) setFlag(layout_->ExtraModifier, mode == hlLit ? hlLit : hlStruck);
  }
  changed();
}

void TKeyboardModel::ClearHighlights() {
  bool any = false;
  for (KeyDisplay& d : flags()) {
    any = any || d.Lit || d.Struck || d.Hinted;
    d.Lit = d.Struck = d.Hinted = false;
  }
  if (any) changed();
}

void TKeyboardModel::MarkKeys(std::string_view chars) {
  for (KeyDisplay& d : flags()) d.Marked = false;
  for (const char c : chars) {
    const int i = KeyIndexOf(c);
    if (i >= 0) flags()[static_cast<size_t>(i)].Marked = true;
  }
  changed();
}

void TKeyboardModel::MarkAllKeys() {
  for (KeyDisplay& d : flags()) d.Marked = true;
  changed();
}

void TKeyboardModel::ClearMarks() {
  for (KeyDisplay& d : flags()) d.Marked = false;
  changed();
}

bool TKeyboardModel::AfterKeyTyped(unsigned char c) {
  if (DeadKeyPending) {
    ClearHighlights();
    const std::string base = PendingBase;
    ShowKeys(base, "", 0, "");
    DeadKeyPending = nullptr;
    return true;
  }
  if (IsAccentChar(c)) {
    ClearHighlights();
    ShowKeys(" ", "", 0, "");
    LitFinger = 9;
    return true;
  }
  LitFinger = 0;
  return false;
}

void TKeyboardModel::ShowPressedKey(char c) {
  const int i = KeyIndexOf(c);
  if (i == pressed_) return;
  pressed_ = i;
  changed();
}

void TKeyboardModel::ReleasePressedKey() {
  if (pressed_ < 0) return;
  pressed_ = -1;
  changed();
}

}  // namespace ks
