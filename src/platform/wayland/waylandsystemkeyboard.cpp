#include "platform/wayland/waylandsystemkeyboard.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/layoutids.h"
#include "platform/x11/xkbkeymap.h"

namespace ks {
namespace {

constexpr const char* kDefaultLayoutId = "00000409";
// No real keymap comes near this; a larger size is not mapped.
constexpr uint32_t kLargestKeymap = 16u << 20;

bool sameLayouts(const std::vector<XkbLayoutName>& a, const std::vector<XkbLayoutName>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
    return x.layout == y.layout && x.variant == y.variant;
  });
}

}  // namespace

struct WaylandSystemKeyboard::Impl {
  wl_display* display = nullptr;
  bool own = false;  // our own connection, closed with us
  wl_event_queue* setupQueue = nullptr;
  wl_registry* registry = nullptr;
  wl_seat* seat = nullptr;
  wl_keyboard* keyboard = nullptr;
  std::unique_ptr<XkbKeymap> keymap;
  std::string keymapText;             // the compositor's text of `keymap`
  std::vector<XkbLayoutName> groups;  // one per layout of the keymap
  // The keymap last sent named no layout: one a typing tool (a virtual keyboard) made for its
  // own keys while it types. The user's layout stays what it was, and so does its group.
  bool foreign = false;
  int group = 0;
  bool toldByCompositor = false;  // a modifiers event gave the group
  unsigned lockedMods = 0;
  bool switched = false;  // news for layoutSwitched
  int wakeFd = -1;        // shared connection: wakes the watcher when a listener saw news
  std::unique_ptr<LayoutSwitcher> switcher;

  ~Impl() {
    if (keyboard) {
      if (wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION)
        wl_keyboard_release(keyboard);
      else
        wl_keyboard_destroy(keyboard);
    }
    if (seat) {
      if (wl_seat_get_version(seat) >= WL_SEAT_RELEASE_SINCE_VERSION)
        wl_seat_release(seat);
      else
        wl_seat_destroy(seat);
    }
    if (registry) wl_registry_destroy(registry);
    if (setupQueue) wl_event_queue_destroy(setupQueue);
    if (own && display)
      wl_display_disconnect(display);
    else if (display)
      wl_display_flush(display);
    if (wakeFd >= 0) ::close(wakeFd);
  }

  void notify() {
    switched = true;
    if (wakeFd >= 0) eventfd_write(wakeFd, 1);
  }

  void takeKeymap(uint32_t format, int fd, uint32_t size) {
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || size == 0 || size > kLargestKeymap) {
      ::close(fd);
      return;
    }
    void* text = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (text == MAP_FAILED) return;
    std::string copy(static_cast<const char*>(text), size);
    ::munmap(text, size);
    std::unique_ptr<XkbKeymap> km = XkbKeymap::fromText(copy);
    if (!km) return;
    bool named = false;
    for (int g = 0; g < km->layoutCount(); ++g) named = named || !km->layoutName(g).empty();
    if (!named && keymap) {
      foreign = true;
      return;
    }
    foreign = false;
    std::vector<XkbLayoutName> layouts = km->groupLayouts();
    const bool changed = keymap && !sameLayouts(layouts, groups);
    keymap = std::move(km);
    keymapText = std::move(copy);
    groups = std::move(layouts);
    if (group >= keymap->layoutCount()) group = 0;
    if (changed) notify();
  }

  void takeModifiers(uint32_t locked, uint32_t newGroup) {
    if (foreign || !keymap) return;
    lockedMods = locked;
    toldByCompositor = true;
    const int g = static_cast<int>(newGroup);
    if (g == group || g >= keymap->layoutCount()) return;
    group = g;
    notify();
  }

  void capabilities(uint32_t caps) {
    const bool has = (caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (has && !keyboard) {
      keyboard = wl_seat_get_keyboard(seat);
      wl_keyboard_add_listener(keyboard, &kKeyboardListener, this);
    } else if (!has && keyboard) {
      // The last keymap stays the user's until another keyboard brings one.
      if (wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION)
        wl_keyboard_release(keyboard);
      else
        wl_keyboard_destroy(keyboard);
      keyboard = nullptr;
    }
  }

  static Impl* self(void* data) { return static_cast<Impl*>(data); }

  static constexpr wl_keyboard_listener kKeyboardListener = {
      [](void* d, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
        self(d)->takeKeymap(format, fd, size);
      },
      [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
      [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
      [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {},
      [](void* d, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t locked, uint32_t group) {
        self(d)->takeModifiers(locked, group);
      },
      [](void*, wl_keyboard*, int32_t, int32_t) {},
  };
  static constexpr wl_seat_listener kSeatListener = {
      [](void* d, wl_seat*, uint32_t caps) { self(d)->capabilities(caps); },
      [](void*, wl_seat*, const char*) {},
  };
  static constexpr wl_registry_listener kRegistryListener = {
      [](void* d, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
        Impl* impl = self(d);
        if (impl->seat || std::string_view(interface) != wl_seat_interface.name) return;
        // The first seat is the one the user types on.
        impl->seat = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 5u)));
        wl_seat_add_listener(impl->seat, &kSeatListener, impl);
      },
      [](void*, wl_registry*, uint32_t) {},
  };

  bool roundtrip() {
    return (setupQueue ? wl_display_roundtrip_queue(display, setupQueue)
                       : wl_display_roundtrip(display)) >= 0;
  }
};

WaylandSystemKeyboard::WaylandSystemKeyboard(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
WaylandSystemKeyboard::~WaylandSystemKeyboard() = default;

std::unique_ptr<WaylandSystemKeyboard> WaylandSystemKeyboard::connect(wl_display* shared) {
  auto impl = std::make_unique<Impl>();
  if (shared) {
    // The toolkit reads and dispatches its connection on its own; the set-up waits on a queue of
    // ours so that it neither takes the toolkit's events nor waits for its loop.
    impl->display = shared;
    impl->setupQueue = wl_display_create_queue(shared);
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(shared));
    if (!impl->setupQueue || !wrapper) return nullptr;
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), impl->setupQueue);
    impl->registry = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    impl->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (impl->wakeFd < 0) return nullptr;
  } else {
    impl->own = true;
    impl->display = wl_display_connect(nullptr);
    if (!impl->display) return nullptr;
    impl->registry = wl_display_get_registry(impl->display);
  }
  wl_registry_add_listener(impl->registry, &Impl::kRegistryListener, impl.get());
  // The seat, its capabilities, the keyboard's keymap: one round each.
  for (int i = 0; i < 3 && !impl->keymap; ++i)
    if (!impl->roundtrip()) return nullptr;
  if (!impl->keymap) return nullptr;
  if (impl->setupQueue) {
    // From now on the toolkit's loop delivers the compositor's news to our listeners.
    for (auto* proxy :
         {reinterpret_cast<wl_proxy*>(impl->registry), reinterpret_cast<wl_proxy*>(impl->seat),
          reinterpret_cast<wl_proxy*>(impl->keyboard)})
      if (proxy) wl_proxy_set_queue(proxy, nullptr);
    wl_display_dispatch_queue_pending(impl->display, impl->setupQueue);
    wl_event_queue_destroy(impl->setupQueue);
    impl->setupQueue = nullptr;
  }
  impl->switched = false;
  return std::unique_ptr<WaylandSystemKeyboard>(new WaylandSystemKeyboard(std::move(impl)));
}

void WaylandSystemKeyboard::setSwitcher(std::unique_ptr<LayoutSwitcher> switcher) {
  impl_->switcher = std::move(switcher);
  if (!impl_->switcher || impl_->toldByCompositor) return;
  const int group = impl_->switcher->activeGroup();
  if (group >= 0 && group < impl_->keymap->layoutCount()) impl_->group = group;
}

bool WaylandSystemKeyboard::canSwitch() const {
  return impl_->switcher != nullptr;
}

void WaylandSystemKeyboard::readEvents() {
  if (!impl_->own) return;
  wl_display* d = impl_->display;
  while (wl_display_prepare_read(d) != 0) wl_display_dispatch_pending(d);
  wl_display_flush(d);
  pollfd p{wl_display_get_fd(d), POLLIN, 0};
  if (::poll(&p, 1, 0) > 0)
    wl_display_read_events(d);
  else
    wl_display_cancel_read(d);
  wl_display_dispatch_pending(d);
}

int WaylandSystemKeyboard::changeDescriptor() {
  return impl_->own ? wl_display_get_fd(impl_->display) : impl_->wakeFd;
}

bool WaylandSystemKeyboard::layoutSwitched() {
  readEvents();
  if (impl_->wakeFd >= 0) {
    eventfd_t count = 0;
    eventfd_read(impl_->wakeFd, &count);
  }
  return std::exchange(impl_->switched, false);
}

int WaylandSystemKeyboard::activeGroup() const {
  return impl_->group;
}

std::vector<std::string> WaylandSystemKeyboard::groupLayouts() const {
  std::vector<std::string> out;
  for (const XkbLayoutName& g : impl_->groups)
    out.push_back(g.variant.empty() ? g.layout : g.layout + "(" + g.variant + ")");
  return out;
}

std::string WaylandSystemKeyboard::keymapText() const {
  return impl_->keymapText;
}

std::string WaylandSystemKeyboard::activeLayoutId() {
  readEvents();
  const auto group = static_cast<size_t>(impl_->group);
  if (group >= impl_->groups.size()) return kDefaultLayoutId;
  const std::string id = layoutIdForXkb(impl_->groups[group].layout, impl_->groups[group].variant);
  return id.empty() ? kDefaultLayoutId : id;
}

std::string WaylandSystemKeyboard::activeLayoutName() {
  readEvents();
  return impl_->keymap->layoutName(impl_->group);
}

std::vector<std::string> WaylandSystemKeyboard::configuredLayoutIds() {
  readEvents();
  std::vector<std::string> out;
  for (const XkbLayoutName& g : impl_->groups) {
    std::string id = layoutIdForXkb(g.layout, g.variant);
    if (!id.empty()) out.push_back(std::move(id));
  }
  return out;
}

int WaylandSystemKeyboard::activateLayout(std::string_view layoutId) {
  readEvents();
  for (size_t i = 0; i < impl_->groups.size(); ++i) {
    if (layoutIdForXkb(impl_->groups[i].layout, impl_->groups[i].variant) != layoutId) continue;
    const int group = static_cast<int>(i);
    if (group == impl_->group) return group;
    if (!impl_->switcher || !impl_->switcher->switchTo(group)) return -1;
    // The compositor's word on it comes only while one of our windows has the focus; until
    // then the switch we asked for stands, and its word then is no switch of the user's.
    impl_->group = group;
    return group;
  }
  return -1;
}

std::string WaylandSystemKeyboard::keyChars(int scanCode, int state) {
  readEvents();
  return impl_->keymap->lookup(scanCode, impl_->group, state).text;
}

bool WaylandSystemKeyboard::capsLockOn() {
  readEvents();
  return impl_->keymap->capsLocked(impl_->lockedMods);
}

}  // namespace ks
