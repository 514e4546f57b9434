// The keyboard of a headless compositor, which has none: a virtual keyboard (the
// zwp_virtual_keyboard_v1 protocol of wlroots compositors) with the keymap of XKB layouts
// given as in setxkbmap ("us,de" ",nodeadkeys"), held until the program is ended (by a signal:
// the keyboard goes with the connection). It types what its standard input asks, one line at a
// time, and answers each with "ok":
//   k COMBO...      keys by keysym name, pressed and released ("Return", "ctrl+q", "alt")
//   t DELAY TEXT    characters (UTF-8), DELAY ms apart
//   a               a token of the compositor's window activation (xdg-activation), as a
//                   launcher gives the programs it starts; answered with "ok TOKEN"
//   g GROUP         the layout the compositor has active (a virtual keyboard states it with
//                   every change of modifiers, so it must know the one the user switched to)
// It types through its own keymap, as a learner's keyboard does: the compositor keeps the
// keymap and the active layout as they are. (Typing tools such as wtype bring a keyboard and a
// keymap of their own, and the compositor then tells every program that keymap.)
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The protocol's two interfaces, as wayland-scanner would write them; only the requests used.
extern const wl_interface kVirtualKeyboard;
const wl_interface* kCreateTypes[] = {&wl_seat_interface, &kVirtualKeyboard};
const wl_interface* kNoTypes[] = {nullptr, nullptr, nullptr, nullptr};
const wl_message kManagerRequests[] = {{"create_virtual_keyboard", "on", kCreateTypes}};
const wl_interface kManager = {
    "zwp_virtual_keyboard_manager_v1", 1, 1, kManagerRequests, 0, nullptr};
const wl_message kKeyboardRequests[] = {{"keymap", "uhu", kNoTypes},
                                        {"key", "uuu", kNoTypes},
                                        {"modifiers", "uuuu", kNoTypes},
                                        {"destroy", "", kNoTypes}};
const wl_interface kVirtualKeyboard = {"zwp_virtual_keyboard_v1", 1, 4,
                                       kKeyboardRequests,         0, nullptr};

// xdg_activation_v1 and its token, also as wayland-scanner would write them.
extern const wl_interface kActivationToken;
const wl_interface* kTokenTypes[] = {&kActivationToken};
const wl_message kActivationRequests[] = {{"destroy", "", kNoTypes},
                                          {"get_activation_token", "n", kTokenTypes},
                                          {"activate", "so", kNoTypes}};
const wl_interface kActivation = {"xdg_activation_v1", 1, 3, kActivationRequests, 0, nullptr};
const wl_message kTokenRequests[] = {{"set_serial", "uo", kNoTypes},
                                     {"set_app_id", "s", kNoTypes},
                                     {"set_surface", "o", kNoTypes},
                                     {"commit", "", kNoTypes},
                                     {"destroy", "", kNoTypes}};
const wl_message kTokenEvents[] = {{"done", "s", kNoTypes}};
const wl_interface kActivationToken = {
    "xdg_activation_token_v1", 1, 5, kTokenRequests, 1, kTokenEvents};

wl_seat* seat = nullptr;
wl_proxy* manager = nullptr;
wl_proxy* activation = nullptr;

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  if (!seat && std::strcmp(interface, "wl_seat") == 0)
    seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  if (!manager && std::strcmp(interface, kManager.name) == 0)
    manager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kManager, 1));
  if (!activation && std::strcmp(interface, kActivation.name) == 0)
    activation = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kActivation, 1));
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {global, globalRemove};

wl_display* display = nullptr;
wl_proxy* keyboard = nullptr;
xkb_keymap* keymap = nullptr;
uint32_t group = 0;

uint32_t now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<uint32_t>(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

void send(xkb_keycode_t code, bool down) {
  // Wayland counts keys by the Linux input code, XKB 8 higher.
  wl_proxy_marshal(keyboard, 1, now(), code - 8, down ? 1u : 0u);
  wl_display_flush(display);
  usleep(8000);
}

// A key typing `sym`, and the modifier keys it needs (Shift, AltGr), or false.
bool findKey(xkb_keysym_t sym, xkb_keycode_t& key, std::vector<xkb_keycode_t>& mods) {
  xkb_keycode_t shift = 0, altGr = 0;
  const auto codeOf = [](xkb_keysym_t wanted) {
    for (xkb_keycode_t c = xkb_keymap_min_keycode(keymap); c <= xkb_keymap_max_keycode(keymap);
         ++c) {
      const xkb_keysym_t* syms = nullptr;
      if (xkb_keymap_key_get_syms_by_level(keymap, c, 0, 0, &syms) == 1 && syms[0] == wanted)
        return c;
    }
    return xkb_keycode_t{0};
  };
  shift = codeOf(XKB_KEY_Shift_L);
  altGr = codeOf(XKB_KEY_ISO_Level3_Shift);
  for (xkb_layout_index_t g = 0; g < xkb_keymap_num_layouts(keymap); ++g)
    for (xkb_keycode_t c = xkb_keymap_min_keycode(keymap); c <= xkb_keymap_max_keycode(keymap); ++c)
      for (xkb_level_index_t l = 0; l < 4 && l < xkb_keymap_num_levels_for_key(keymap, c, g); ++l) {
        const xkb_keysym_t* syms = nullptr;
        if (xkb_keymap_key_get_syms_by_level(keymap, c, g, l, &syms) != 1 || syms[0] != sym)
          continue;
        if ((l & 2) && !altGr) continue;
        key = c;
        mods.clear();
        if (l & 1) mods.push_back(shift);
        if (l & 2) mods.push_back(altGr);
        return true;
      }
  return false;
}

// The modifiers that holding these keys sets. A virtual keyboard's key events leave the
// compositor's modifier state alone: the client states it.
uint32_t maskOf(const std::vector<xkb_keycode_t>& held) {
  xkb_state* state = xkb_state_new(keymap);
  for (xkb_keycode_t key : held) xkb_state_update_key(state, key, XKB_KEY_DOWN);
  const uint32_t mask = xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED);
  xkb_state_unref(state);
  return mask;
}

void modifiers(uint32_t depressed) {
  wl_proxy_marshal(keyboard, 2, depressed, 0u, 0u, group);
  wl_display_flush(display);
}

// Presses and releases the key of `sym` while the keys `held` are down, in the order a real
// keyboard sends: each key, then the modifiers it changed.
bool press(xkb_keysym_t sym, std::vector<xkb_keycode_t> held) {
  xkb_keycode_t key = 0;
  std::vector<xkb_keycode_t> mods;
  if (!findKey(sym, key, mods)) return false;
  held.insert(held.end(), mods.begin(), mods.end());
  std::vector<xkb_keycode_t> down;
  uint32_t mask = 0;
  const auto update = [&] {
    const uint32_t now = maskOf(down);
    if (now != mask) modifiers(mask = now);
  };
  for (xkb_keycode_t m : held) {
    send(m, true);
    down.push_back(m);
    update();
  }
  send(key, true);
  down.push_back(key);
  update();
  send(key, false);
  down.pop_back();
  update();
  while (!down.empty()) {
    send(down.back(), false);
    down.pop_back();
    update();
  }
  return true;
}

// "ctrl+alt+Delete": the last name is the key, the others modifiers held around it.
bool combo(const std::string& text) {
  std::vector<xkb_keycode_t> held;
  std::istringstream parts(text);
  std::vector<std::string> names;
  for (std::string part; std::getline(parts, part, '+');) names.push_back(part);
  if (names.empty()) return false;
  const auto symOf = [](std::string name) {
    if (name == "ctrl") name = "Control_L";
    if (name == "alt") name = "Alt_L";
    if (name == "shift") name = "Shift_L";
    if (name == "super") name = "Super_L";
    return xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
  };
  for (size_t i = 0; i + 1 < names.size(); ++i) {
    xkb_keycode_t key = 0;
    std::vector<xkb_keycode_t> mods;
    if (!findKey(symOf(names[i]), key, mods)) return false;
    held.push_back(key);
  }
  return press(symOf(names.back()), held);
}

bool typeText(const std::string& text, int delay) {
  for (size_t i = 0; i < text.size();) {
    // One UTF-8 character.
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    uint32_t cp = extra ? lead & (0x3F >> extra) : lead;
    for (int k = 1; k <= extra && i + k < text.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    i += 1 + extra;
    xkb_keysym_t sym = cp == '\n' ? XKB_KEY_Return : xkb_utf32_to_keysym(cp);
    if (!press(sym, {})) return false;
    usleep(static_cast<useconds_t>(delay) * 1000);
  }
  return true;
}

// A token for starting a program, without a surface or an input event: a launcher's.
std::string activationToken() {
  if (!activation) return "";
  wl_proxy* token = wl_proxy_marshal_constructor(activation, 1, &kActivationToken, nullptr);
  static std::string received;
  received.clear();
  struct Listener {
    void (*done)(void*, wl_proxy*, const char*);
  };
  static const Listener listener = {[](void*, wl_proxy*, const char* text) { received = text; }};
  wl_proxy_add_listener(token, reinterpret_cast<void (**)(void)>(const_cast<Listener*>(&listener)),
                        nullptr);
  wl_proxy_marshal(token, 3);
  for (int i = 0; i < 10 && received.empty() && wl_display_roundtrip(display) != -1; ++i) {
  }
  wl_proxy_marshal(token, 4);
  wl_proxy_destroy(token);
  return received;
}

}  // namespace

int main(int argc, char** argv) {
  const xkb_rule_names names{"evdev", "pc105", argc > 1 ? argv[1] : "us", argc > 2 ? argv[2] : "",
                             ""};
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (!keymap) {
    std::fprintf(stderr, "vkeyboard: layouts '%s' do not compile\n", names.layout);
    return 2;
  }
  char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
  const size_t size = std::strlen(text) + 1;
  const int fd = memfd_create("keymap", MFD_CLOEXEC);
  if (fd < 0 || write(fd, text, size) != static_cast<ssize_t>(size)) return 2;

  display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "vkeyboard: no compositor\n");
    return 2;
  }
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, nullptr);
  wl_display_roundtrip(display);
  if (!seat || !manager) {
    std::fprintf(stderr, "vkeyboard: the compositor offers no virtual keyboards\n");
    return 2;
  }
  keyboard = wl_proxy_marshal_constructor(manager, 0, &kVirtualKeyboard, seat, nullptr);
  wl_proxy_marshal(keyboard, 0, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, static_cast<uint32_t>(size));
  wl_display_roundtrip(display);
  std::free(text);
  std::printf("ready\n");
  std::fflush(stdout);
  for (std::string line; std::getline(std::cin, line);) {
    bool ok = true;
    if (line == "a") {
      const std::string token = activationToken();
      std::printf(token.empty() ? "failed: no token\n" : "ok %s\n", token.c_str());
      std::fflush(stdout);
      continue;
    }
    if (line.rfind("k ", 0) == 0) {
      std::istringstream names(line.substr(2));
      for (std::string name; ok && names >> name;) ok = combo(name);
    } else if (line.rfind("g ", 0) == 0) {
      group = static_cast<uint32_t>(std::atoi(line.c_str() + 2));
    } else if (line.rfind("t ", 0) == 0) {
      const size_t space = line.find(' ', 2);
      ok = space != std::string::npos &&
           typeText(line.substr(space + 1), std::atoi(line.substr(2, space - 2).c_str()));
    }
    if (wl_display_roundtrip(display) == -1) return 1;
    std::printf(ok ? "ok\n" : "failed: %s\n", line.c_str());
    std::fflush(stdout);
  }
  // Without input it holds the keyboard until it is ended.
  while (wl_display_dispatch(display) != -1) {
  }
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
  return 1;
}
