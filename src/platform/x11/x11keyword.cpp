#include "platform/x11/x11keyword.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace ks {
namespace {

// Keys that never type, with the Windows virtual-key codes the counters know (arrows 37-40).
int editingKey(unsigned keysym) {
  switch (keysym) {
    case XK_Left:
    case XK_KP_Left:
      return 37;
    case XK_Up:
    case XK_KP_Up:
      return 38;
    case XK_Right:
    case XK_KP_Right:
      return 39;
    case XK_Down:
    case XK_KP_Down:
      return 40;
    case XK_Prior:
    case XK_KP_Prior:
      return 33;
    case XK_Next:
    case XK_KP_Next:
      return 34;
    case XK_End:
    case XK_KP_End:
      return 35;
    case XK_Home:
    case XK_KP_Home:
      return 36;
    case XK_Insert:
    case XK_KP_Insert:
      return 45;
    case XK_Delete:
    case XK_KP_Delete:
      return 46;
    default:
      break;
  }
  if (keysym >= XK_F1 && keysym <= XK_F24) return 112 + static_cast<int>(keysym - XK_F1);
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return 96 + static_cast<int>(keysym - XK_KP_0);
  return 0;
}

bool isModifier(unsigned keysym) {
  return (keysym >= XK_Shift_L && keysym <= XK_Hyper_R) ||
         (keysym >= XK_ISO_Lock && keysym <= XK_ISO_Last_Group_Lock) || keysym == XK_Num_Lock ||
         keysym == XK_Mode_switch || keysym == XK_Multi_key;
}

}  // namespace

std::optional<KeyStroke> keyStrokeOf(unsigned keysym, unsigned state,
                                     const XkbKeymap::Result& unshifted) {
  if (keysym == NoSymbol || isModifier(keysym)) return std::nullopt;
  KeyStroke k;
  if (state & (ControlMask | Mod1Mask | Mod4Mask)) k.keyWord |= kwCommand;
  if (((state & ShiftMask) != 0) != ((state & LockMask) != 0)) k.keyWord |= kwUpper;
  switch (keysym) {
    case XK_BackSpace:
      k.ch = 8;
      break;
    case XK_Tab:
    case XK_ISO_Left_Tab:
      k.ch = 9;
      break;
    case XK_Return:
    case XK_KP_Enter:
      k.ch = 13;
      break;
    case XK_Escape:
      k.ch = 27;
      break;
    case XK_space:
      k.ch = 32;
      break;
    default:
      if (const int vk = editingKey(keysym)) {
        k.keyWord |= static_cast<uint32_t>(vk) | kwCommand2;
        return k;
      }
      if (unshifted.text.size() == 1) k.ch = static_cast<unsigned char>(unshifted.text[0]);
      k.dead = unshifted.dead;
      // A dead key 1252 has no accent for still swallows the key after it.
      if (k.dead && k.ch == 0) k.ch = '^';
  }
  if (k.ch == 0 && !k.dead) k.keyWord |= kwCommand2;  // a key 1252 cannot show
  const unsigned char c = k.ch;
  k.keyWord |= (c >= 'a' && c <= 'z') ? c - 32u : c;
  return k;
}

}  // namespace ks
