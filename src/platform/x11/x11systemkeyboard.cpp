#include "platform/x11/x11systemkeyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include "platform/layoutids.h"
#include "platform/system.h"

namespace ks {
namespace {

constexpr const char* kDefaultLayoutId = "00000409";

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    out.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

}  // namespace

struct X11SystemKeyboard::Impl {
  Display* display = nullptr;
  xcb_connection_t* xcb = nullptr;  // the display's own connection, for reading the keymap
  std::unique_ptr<XkbKeymap> keymap;
  std::string rulesNames;             // the raw root property the keymap was read with
  std::vector<XkbLayoutName> groups;  // one per configured group
  int lastGroup = 0;                  // the group as last seen, to tell a switch

  ~Impl() {
    keymap.reset();
    if (display) XCloseDisplay(display);
  }

  // The root window's record of how the keymap was made: rules, model, layouts, variants and
  // options, each ended by a NUL. setxkbmap and the X server keep it current.
  std::string readRulesNames() const {
    const Atom atom = XInternAtom(display, "_XKB_RULES_NAMES", True);
    if (atom == None) return "";
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(display, DefaultRootWindow(display), atom, 0, 4096, False, XA_STRING,
                           &type, &format, &count, &after, &data) == Success &&
        data && format == 8)
      out.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    return out;
  }

  void parseGroups() {
    groups.clear();
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= rulesNames.size() && parts.size() < 5) {
      size_t nul = rulesNames.find('\0', start);
      if (nul == std::string::npos) nul = rulesNames.size();
      parts.push_back(rulesNames.substr(start, nul - start));
      start = nul + 1;
    }
    parts.resize(5);
    const std::vector<std::string> layouts = splitList(parts[2]);
    std::vector<std::string> variants = splitList(parts[3]);
    variants.resize(layouts.size());
    for (size_t i = 0; i < layouts.size(); ++i)
      if (!layouts[i].empty()) groups.push_back({layouts[i], variants[i]});
  }
};

X11SystemKeyboard::X11SystemKeyboard(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
X11SystemKeyboard::~X11SystemKeyboard() = default;

std::unique_ptr<X11SystemKeyboard> X11SystemKeyboard::connect(const char* display) {
  auto impl = std::make_unique<Impl>();
  int major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0;
  impl->display =
      XkbOpenDisplay(const_cast<char*>(display), nullptr, nullptr, &major, &minor, &reason);
  if (!impl->display) return nullptr;
  // One connection for both: a second one would cost its own handshake and buffers.
  impl->xcb = XGetXCBConnection(impl->display);
  if (!impl->xcb || xcb_connection_has_error(impl->xcb)) return nullptr;
  std::unique_ptr<X11SystemKeyboard> kb(new X11SystemKeyboard(std::move(impl)));
  kb->refresh();
  if (!kb->impl_->keymap) return nullptr;
  // Group changes wake the connection, so that a switch of the user's layout is seen at once.
  XkbSelectEventDetails(kb->impl_->display, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                        XkbGroupStateMask);
  kb->impl_->lastGroup = kb->activeGroup();
  XFlush(kb->impl_->display);
  return kb;
}

void X11SystemKeyboard::drainEvents() {
  while (XPending(impl_->display) > 0) {
    XEvent event;
    XNextEvent(impl_->display, &event);
  }
}

int X11SystemKeyboard::changeDescriptor() {
  return ConnectionNumber(impl_->display);
}

bool X11SystemKeyboard::layoutSwitched() {
  drainEvents();
  // The state itself decides: events read along with other replies must not hide a switch.
  const int group = activeGroup();
  const bool switched = group != impl_->lastGroup;
  impl_->lastGroup = group;
  return switched;
}

void X11SystemKeyboard::refresh() {
  std::string names = impl_->readRulesNames();
  if (impl_->keymap && names == impl_->rulesNames) return;
  std::unique_ptr<XkbKeymap> keymap = XkbKeymap::fromX11(impl_->xcb);
  if (!keymap) return;  // keep what we had
  impl_->keymap = std::move(keymap);
  impl_->rulesNames = std::move(names);
  impl_->parseGroups();
}

int X11SystemKeyboard::activeGroup() {
  XkbStateRec state{};
  if (XkbGetState(impl_->display, XkbUseCoreKbd, &state) != Success) return 0;
  return state.group;
}

std::vector<std::string> X11SystemKeyboard::groupLayouts() {
  refresh();
  std::vector<std::string> out;
  for (const XkbLayoutName& g : impl_->groups)
    out.push_back(g.variant.empty() ? g.layout : g.layout + "(" + g.variant + ")");
  return out;
}

std::string X11SystemKeyboard::activeLayoutId() {
  refresh();
  const size_t group = static_cast<size_t>(activeGroup());
  if (group >= impl_->groups.size()) return kDefaultLayoutId;
  const std::string id = layoutIdForXkb(impl_->groups[group].layout, impl_->groups[group].variant);
  return id.empty() ? kDefaultLayoutId : id;
}

std::string X11SystemKeyboard::activeLayoutName() {
  refresh();
  return impl_->keymap->layoutName(activeGroup());
}

std::vector<std::string> X11SystemKeyboard::configuredLayoutIds() {
  refresh();
  std::vector<std::string> out;
  for (const XkbLayoutName& g : impl_->groups) {
    std::string id = layoutIdForXkb(g.layout, g.variant);
    if (!id.empty()) out.push_back(std::move(id));
  }
  return out;
}

int X11SystemKeyboard::activateLayout(std::string_view layoutId) {
  refresh();
  for (size_t i = 0; i < impl_->groups.size(); ++i) {
    if (layoutIdForXkb(impl_->groups[i].layout, impl_->groups[i].variant) != layoutId) continue;
    if (!XkbLockGroup(impl_->display, XkbUseCoreKbd, static_cast<unsigned>(i))) return -1;
    XSync(impl_->display, False);
    // Our own switch is no switch of the user's.
    drainEvents();
    impl_->lastGroup = activeGroup();
    return static_cast<int>(i);
  }
  return -1;
}

std::string X11SystemKeyboard::keyChars(int scanCode, int state) {
  refresh();
  return impl_->keymap->lookup(scanCode, activeGroup(), state).text;
}

bool X11SystemKeyboard::capsLockOn() {
  XkbStateRec state{};
  if (XkbGetState(impl_->display, XkbUseCoreKbd, &state) != Success) return false;
  return (state.locked_mods & LockMask) != 0;
}

void X11SystemKeyboard::setCapsLock(bool on) {
  XkbLockModifiers(impl_->display, XkbUseCoreKbd, LockMask, on ? LockMask : 0);
  XSync(impl_->display, False);
}

void X11SystemKeyboard::setNumLock(bool on) {
  const unsigned mask = XkbKeysymToModifiers(impl_->display, XK_Num_Lock);
  if (mask == 0) return;
  XkbLockModifiers(impl_->display, XkbUseCoreKbd, mask, on ? mask : 0);
  XSync(impl_->display, False);
}

KeymapSystemKeyboard::KeymapSystemKeyboard(std::unique_ptr<XkbKeymap> keymap, std::string layoutId)
    : keymap_(std::move(keymap)), layoutId_(std::move(layoutId)) {}

std::string KeymapSystemKeyboard::activeLayoutName() {
  return keymap_->layoutName(0);
}

std::string KeymapSystemKeyboard::keyChars(int scanCode, int state) {
  return keymap_->lookup(scanCode, 0, state).text;
}

bool waylandSession() {
  return !envOr("WAYLAND_DISPLAY", "").empty() || envOr("XDG_SESSION_TYPE", "") == "wayland";
}

std::unique_ptr<SystemKeyboard> fixedUsKeyboard() {
  if (auto us = XkbKeymap::fromNames("us")) {
    return std::make_unique<KeymapSystemKeyboard>(std::move(us), kDefaultLayoutId);
  }
  return std::make_unique<NullSystemKeyboard>();
}

}  // namespace ks
