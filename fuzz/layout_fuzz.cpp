// Keyboard layouts (".kbd"): loaded, asked for every character what the drills and the
// on-screen keyboard ask, and laid out as the keyboard draws them.
#include "analysis/keyboardmodel.h"
#include "analysis/keydataext.h"
#include "fuzzfolder.h"
#include "platform/clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  folder.clear();
  const std::string_view in = ks::fuzz::bytesOf(data, size);
  const std::string path = folder.write("fuzz.kbd", in).string();
  ks::TKeyDataExt layout;
  if (layout.loadFromFile(path) != 1) return 0;
  for (int i = 1; i < 256; ++i) {
    const char c = static_cast<char>(i);
    const std::string one(1, c);
    layout.findKey(one);
    layout.getBaseChar(one);
    layout.getFinger(c);
    layout.getModifierFinger(c);
    layout.mapKeypadDecimal(one);
    layout.getHomeKey(c);
    layout.getSameFingerKeys(c);
    layout.getSameFingerLetters(c);
    layout.getMirrorFingerKeys(c);
    layout.getSameRowKeys(c);
    layout.findDeadKey(c);
  }
  layout.getFingerMask(in.substr(0, 64));
  for (int finger = 0; finger <= 10; ++finger) layout.getFingerName(finger);
  for (const auto& key : layout.Keys) {
    for (int state = 0; state < 4; ++state) layout.getKeyCaption(*key, state);
  }
  layout.picturePath();

  const ks::FakeClock clock;
  ks::TKeyboardModel keyboard(layout, clock);
  keyboard.MarkAllKeys();
  keyboard.HighlightKeys(in.substr(0, 32), 1);
  keyboard.ShowKeys(in.substr(0, 16), in.substr(0, 16), 0, in.substr(0, 8));
  for (size_t i = 0; i < keyboard.KeyCount(); ++i) {
    keyboard.LookOf(i);
    keyboard.ColoursOf(i);
    keyboard.IsVisible(i);
  }
  for (int i = 1; i < 256; ++i) {
    keyboard.KeyIndexOf(static_cast<char>(i));
    keyboard.AfterKeyTyped(static_cast<unsigned char>(i));
  }
  return 0;
}
