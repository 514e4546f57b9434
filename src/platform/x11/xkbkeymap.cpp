#include "platform/x11/xkbkeymap.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <string>

#include "platform/systemkeyboard.h"
#include "text/cp1252.h"

namespace ks {
namespace {

// XKB numbers keys by the Linux input codes plus 8; those equal the set-1 scan codes of the
// main block and the keypad.
constexpr int kKeycodeOffset = 8;
// The block of dead-key keysyms (dead_grave .. dead_longsolidusoverlay).
constexpr unsigned kFirstDeadKeysym = 0xFE50;
constexpr unsigned kLastDeadKeysym = 0xFE93;

struct DeadAccent {
  xkb_keysym_t keysym;
  unsigned char accent;
};
// The accents the layouts name by their spacing characters; other dead keys type nothing a
// layout file can show.
constexpr DeadAccent kDeadAccents[] = {
    {XKB_KEY_dead_acute, 0xB4}, {XKB_KEY_dead_grave, 0x60},     {XKB_KEY_dead_circumflex, 0x5E},
    {XKB_KEY_dead_tilde, 0x7E}, {XKB_KEY_dead_diaeresis, 0xA8}, {XKB_KEY_dead_cedilla, 0xB8},
};

}  // namespace

XkbKeymap::Result keysymTo1252(unsigned keysym) {
  XkbKeymap::Result r;
  if (keysym >= kFirstDeadKeysym && keysym <= kLastDeadKeysym) {
    r.dead = true;
    for (const DeadAccent& d : kDeadAccents)
      if (d.keysym == keysym) r.text.assign(1, static_cast<char>(d.accent));
    return r;
  }
  const char32_t cp = xkb_keysym_to_utf32(keysym);
  const int byte = cp == 0 || cp == 0x7F ? -1 : unicodeToCp1252(cp);
  if (byte > 0) r.text.assign(1, static_cast<char>(byte));
  return r;
}

XkbKeymap::XkbKeymap(xkb_context* context, xkb_keymap* keymap)
    : context_(context), keymap_(keymap) {
  const xkb_mod_index_t shift = xkb_keymap_mod_get_index(keymap_, XKB_MOD_NAME_SHIFT);
  if (shift != XKB_MOD_INVALID) shiftMask_ = 1u << shift;
  altGrMask_ = modifierMask(XKB_KEY_ISO_Level3_Shift);
  numLockMask_ = modifierMask(XKB_KEY_Num_Lock);
}

XkbKeymap::~XkbKeymap() {
  xkb_keymap_unref(keymap_);
  xkb_context_unref(context_);
}

std::unique_ptr<XkbKeymap> XkbKeymap::fromNames(std::string_view layouts, std::string_view variants,
                                                std::string_view model) {
  xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
  if (!ctx) return nullptr;
  xkb_context_set_log_level(ctx, XKB_LOG_LEVEL_CRITICAL);
  const std::string l(layouts), v(variants), m(model);
  const xkb_rule_names names{"evdev", m.c_str(), l.c_str(), v.c_str(), ""};
  xkb_keymap* km = xkb_keymap_new_from_names(ctx, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (!km) {
    xkb_context_unref(ctx);
    return nullptr;
  }
  return std::unique_ptr<XkbKeymap>(new XkbKeymap(ctx, km));
}

std::unique_ptr<XkbKeymap> XkbKeymap::fromText(std::string_view text) {
  xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
  if (!ctx) return nullptr;
  xkb_context_set_log_level(ctx, XKB_LOG_LEVEL_CRITICAL);
  // Compositors count the closing NUL in the size; the parser wants the text alone.
  while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
  xkb_keymap* km = xkb_keymap_new_from_buffer(
      ctx, text.data(), text.size(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (!km) {
    xkb_context_unref(ctx);
    return nullptr;
  }
  return std::unique_ptr<XkbKeymap>(new XkbKeymap(ctx, km));
}

std::unique_ptr<XkbKeymap> XkbKeymap::fromX11(xcb_connection_t* connection) {
  if (!xkb_x11_setup_xkb_extension(
          connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
          XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
    return nullptr;
  const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
  if (device < 0) return nullptr;
  xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
  if (!ctx) return nullptr;
  xkb_context_set_log_level(ctx, XKB_LOG_LEVEL_CRITICAL);
  xkb_keymap* km =
      xkb_x11_keymap_new_from_device(ctx, connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (!km) {
    xkb_context_unref(ctx);
    return nullptr;
  }
  return std::unique_ptr<XkbKeymap>(new XkbKeymap(ctx, km));
}

// The real modifiers a key with this keysym sets (found by pressing it in a scratch state), so
// that AltGr works whichever key and modifier a keymap gives it.
unsigned XkbKeymap::modifierMask(unsigned keysym) const {
  xkb_state* st = xkb_state_new(keymap_);
  if (!st) return 0;
  unsigned mask = 0;
  const xkb_keycode_t last = xkb_keymap_max_keycode(keymap_);
  for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_); kc <= last && mask == 0; ++kc) {
    const xkb_keysym_t* syms = nullptr;
    const int n = xkb_keymap_key_get_syms_by_level(keymap_, kc, 0, 0, &syms);
    if (n != 1 || syms[0] != keysym) continue;
    xkb_state_update_key(st, kc, XKB_KEY_DOWN);
    mask = xkb_state_serialize_mods(
        st, static_cast<xkb_state_component>(XKB_STATE_MODS_DEPRESSED | XKB_STATE_MODS_LOCKED));
    xkb_state_update_key(st, kc, XKB_KEY_UP);
  }
  xkb_state_unref(st);
  return mask;
}

XkbKeymap::Result XkbKeymap::lookup(int scanCode, int group, int state) const {
  Result r;
  if (group < 0 || group >= layoutCount()) return r;
  unsigned depressed = 0;
  if (state == ksShift || state == ksShiftAltGr) depressed |= shiftMask_;
  if (state == ksAltGr || state == ksShiftAltGr) {
    if (altGrMask_ == 0) return r;  // the keymap has no AltGr
    depressed |= altGrMask_;
  }
  const unsigned locked = scanCode == kKeypadDecimalScanCode ? numLockMask_ : 0;
  const auto kc = static_cast<xkb_keycode_t>(scanCode + kKeycodeOffset);
  const auto layout = static_cast<xkb_layout_index_t>(group);
  xkb_state* st = xkb_state_new(keymap_);
  if (!st) return r;
  xkb_state_update_mask(st, depressed & ~altGrMask_, 0, locked, 0, 0, layout);
  const xkb_level_index_t withoutAltGr = xkb_state_key_get_level(st, kc, layout);
  xkb_state_update_mask(st, depressed, 0, locked, 0, 0, layout);
  const xkb_keysym_t sym = xkb_state_key_get_one_sym(st, kc);
  const bool altGrIgnored =
      (depressed & altGrMask_) != 0 && xkb_state_key_get_level(st, kc, layout) == withoutAltGr;
  xkb_state_unref(st);
  // A key without an AltGr level types nothing with AltGr, as on Windows.
  if (altGrIgnored) return r;
  if (sym == XKB_KEY_NoSymbol) return r;
  return keysymTo1252(sym);
}

bool XkbKeymap::rightAltIsAltGr(int group) const {
  constexpr xkb_keycode_t kRightAlt = 100 + kKeycodeOffset;
  const xkb_keysym_t* syms = nullptr;
  const int n = xkb_keymap_key_get_syms_by_level(keymap_, kRightAlt,
                                                 static_cast<xkb_layout_index_t>(group), 0, &syms);
  return n == 1 && syms[0] == XKB_KEY_ISO_Level3_Shift;
}

bool XkbKeymap::capsLocked(unsigned lockedModifiers) const {
  const xkb_mod_index_t caps = xkb_keymap_mod_get_index(keymap_, XKB_MOD_NAME_CAPS);
  return caps != XKB_MOD_INVALID && caps < 32 && (lockedModifiers & (1u << caps)) != 0;
}

int XkbKeymap::layoutCount() const {
  return static_cast<int>(xkb_keymap_num_layouts(keymap_));
}

std::string XkbKeymap::layoutName(int group) const {
  const char* name = xkb_keymap_layout_get_name(keymap_, static_cast<xkb_layout_index_t>(group));
  return name ? name : "";
}

std::vector<XkbLayoutName> XkbKeymap::groupLayouts() const {
  std::vector<XkbLayoutName> out(static_cast<size_t>(layoutCount()));
  for (size_t g = 0; g < out.size(); ++g)
    xkbLayoutForDescription(layoutName(static_cast<int>(g)), out[g]);
  return out;
}

}  // namespace ks
