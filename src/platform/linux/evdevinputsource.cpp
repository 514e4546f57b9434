#include "platform/linux/evdevinputsource.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/systemkeyboard.h"
#include "platform/x11/x11keyword.h"
#include "platform/x11/xkbkeymap.h"

namespace ks {
namespace {

constexpr xkb_keycode_t kEvdevOffset = 8;  // XKB key codes are the kernel's plus 8
// The X core event's modifier bits, which the key words are read from (X11/X.h's names clash).
constexpr unsigned kShift = 1, kLock = 2, kControl = 4, kMod1 = 8, kMod4 = 64, kMod5 = 128;

bool testBit(const unsigned char* bits, unsigned bit) {
  return (bits[bit / 8] >> (bit % 8)) & 1;
}

// A keyboard has letter keys; a pointer its buttons (their clicks end a word, as under X11).
bool isKeyboardOrPointer(int fd) {
  unsigned char types[EV_MAX / 8 + 1] = {};
  unsigned char keys[KEY_MAX / 8 + 1] = {};
  if (ioctl(fd, EVIOCGBIT(0, sizeof types), types) < 0 || !testBit(types, EV_KEY)) return false;
  if (ioctl(fd, EVIOCGBIT(EV_KEY, sizeof keys), keys) < 0) return false;
  return (testBit(keys, KEY_A) && testBit(keys, KEY_Z) && testBit(keys, KEY_SPACE)) ||
         testBit(keys, BTN_LEFT);
}

// The event device `name` in `folder`, open when it is a keyboard or a pointer this account may
// read; -1 otherwise, with `denied` set when the account may not read it.
int openDevice(const std::string& folder, const char* name, bool& denied) {
  if (std::strncmp(name, "event", 5) != 0) return -1;
  const std::string path = folder + "/" + name;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == EACCES || errno == EPERM) denied = true;
    return -1;
  }
  if (isKeyboardOrPointer(fd)) return fd;
  close(fd);
  return -1;
}

bool isKeyboard(int fd) {
  unsigned char keys[KEY_MAX / 8 + 1] = {};
  return ioctl(fd, EVIOCGBIT(EV_KEY, sizeof keys), keys) >= 0 && testBit(keys, KEY_A);
}

}  // namespace

EvdevKeyTranslator::EvdevKeyTranslator(std::unique_ptr<XkbKeymap> keymap)
    : keymap_(std::move(keymap)), state_(keymap_ ? xkb_state_new(keymap_->handle()) : nullptr) {}

EvdevKeyTranslator::~EvdevKeyTranslator() {
  if (state_) xkb_state_unref(state_);
}

EvdevKeyTranslator::Result EvdevKeyTranslator::feed(unsigned code, int value) {
  Result r;
  if (!state_) return r;
  const xkb_keycode_t kc = code + kEvdevOffset;
  if (value == 0) {
    xkb_state_update_key(state_, kc, XKB_KEY_UP);
    return r;
  }
  // The key is read in the state before its own press, as the X server reports it.
  xkb_keymap* km = keymap_->handle();
  const auto layouts = static_cast<int>(xkb_keymap_num_layouts(km));
  const int group =
      group_ >= 0 && group_ < layouts
          ? group_
          : static_cast<int>(xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE));
  const xkb_keysym_t* syms = nullptr;
  const int n =
      xkb_keymap_key_get_syms_by_level(km, kc, static_cast<xkb_layout_index_t>(group), 0, &syms);
  const unsigned sym = n > 0 ? syms[0] : XKB_KEY_NoSymbol;
  auto active = [&](const char* name) {
    return xkb_state_mod_name_is_active(state_, name, XKB_STATE_MODS_EFFECTIVE) > 0;
  };
  unsigned state = 0;
  if (active(XKB_MOD_NAME_SHIFT)) state |= kShift;
  if (active(XKB_MOD_NAME_CAPS)) state |= kLock;
  if (active(XKB_MOD_NAME_CTRL)) state |= kControl;
  if (active(XKB_MOD_NAME_ALT)) state |= kMod1;
  if (active(XKB_MOD_NAME_LOGO)) state |= kMod4;
  const bool altGr =
      keymap_->altGrMask() &&
      (xkb_state_serialize_mods(state_, XKB_STATE_MODS_EFFECTIVE) & keymap_->altGrMask()) != 0;
  if (altGr) state |= kMod5;
  const auto unshifted = keymap_->lookup(static_cast<int>(code), group, altGr ? ksAltGr : ksPlain);
  r.key = keyStrokeOf(sym, state, unshifted);
  if (r.key) {
    if (value == 2) {
      r.repeatStarted = !repeatWarned_;
      repeatWarned_ = true;
    } else {
      repeatWarned_ = false;
    }
  }
  if (value == 1) xkb_state_update_key(state_, kc, XKB_KEY_DOWN);
  return r;
}

std::unique_ptr<XkbKeymap> defaultKeymap(const std::string& defaultsFile) {
  std::string layout, variant;
  std::ifstream in(defaultsFile);
  for (std::string line; std::getline(in, line);) {
    auto value = [&](const char* key) {
      const std::string k = std::string(key) + "=";
      if (line.rfind(k, 0) != 0) return std::string();
      std::string v = line.substr(k.size());
      std::erase(v, '"');
      return v;
    };
    if (auto v = value("XKBLAYOUT"); !v.empty()) layout = v;
    if (auto v = value("XKBVARIANT"); !v.empty()) variant = v;
  }
  if (!layout.empty())
    if (auto km = XkbKeymap::fromNames(layout, variant)) return km;
  const char* envLayout = std::getenv("XKB_DEFAULT_LAYOUT");
  const char* envVariant = std::getenv("XKB_DEFAULT_VARIANT");
  if (envLayout && *envLayout)
    if (auto km = XkbKeymap::fromNames(envLayout, envVariant ? envVariant : "")) return km;
  return XkbKeymap::fromNames("us");
}

std::vector<int> openKeyboards(const std::string& folder, KeyboardProblem& problem) {
  std::vector<int> fds;
  bool denied = false;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* e = readdir(dir)) {
      const int fd = openDevice(folder, e->d_name, denied);
      if (fd >= 0) fds.push_back(fd);
    }
    closedir(dir);
  }
  bool keyboard = false;
  for (int fd : fds) keyboard = keyboard || isKeyboard(fd);
  problem = keyboard ? KeyboardProblem::None
            : denied ? KeyboardProblem::NoPermission
                     : KeyboardProblem::NoKeyboard;
  if (!keyboard) {
    for (int fd : fds) close(fd);
    fds.clear();
  }
  return fds;
}

EvdevInputSource::EvdevInputSource(Sink sink, KeymapFactory keymap, std::string deviceFolder)
    : sink_(std::move(sink)), keymap_(std::move(keymap)), folder_(std::move(deviceFolder)) {}

EvdevInputSource::~EvdevInputSource() {
  stop();
  for (int fd : streams_) close(fd);
}

void EvdevInputSource::addStream(int fd) {
  streams_.push_back(fd);
}

bool EvdevInputSource::start() {
  if (thread_.joinable()) return true;
  std::vector<int> fds = openKeyboards(folder_, problem_);
  // Recorded streams are read once; the source keeps no descriptor it handed to a thread.
  for (int fd : streams_) fds.push_back(fd);
  streams_.clear();
  if (fds.empty()) {
    if (sink_.unavailable)
      sink_.unavailable(problem_ == Problem::NoPermission
                            ? "monitoring unavailable: no permission to read the keyboards in " +
                                  folder_ + " (not a member of the input group)"
                            : "monitoring unavailable: no keyboard in " + folder_);
    return false;
  }
  problem_ = Problem::None;
  std::unique_ptr<XkbKeymap> keymap = keymap_ ? keymap_() : nullptr;
  if (!keymap) keymap = XkbKeymap::fromNames("us");
  if (keymap) {
    std::lock_guard lock(layoutsMutex_);
    layouts_ = keymap->groupLayouts();
  }
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    for (int fd : fds) close(fd);
    if (sink_.unavailable) sink_.unavailable("monitoring unavailable: no event descriptor");
    return false;
  }
  thread_ = std::thread([this, fds = std::move(fds), km = std::move(keymap)]() mutable {
    run(std::move(fds), std::move(km));
  });
  return true;
}

std::vector<XkbLayoutName> EvdevInputSource::groupLayouts() const {
  std::lock_guard lock(layoutsMutex_);
  return layouts_;
}

void EvdevInputSource::stop() {
  if (thread_.joinable()) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(wakeFd_, &one, sizeof one);
    thread_.join();
  }
  if (wakeFd_ >= 0) close(wakeFd_);
  wakeFd_ = -1;
}

void EvdevInputSource::handle(EvdevKeyTranslator& translator, unsigned type, unsigned code,
                              int value, uint32_t timeMs) {
  if (type != EV_KEY) return;
  const bool active = active_;
  const bool ours = !locked_ && !private_;
  if (code == BTN_LEFT || code == BTN_RIGHT || code == BTN_MIDDLE) {
    if (active && value == 1 && sink_.click)
      sink_.click(code == BTN_LEFT ? 1 : code == BTN_RIGHT ? 3 : 2, ours ? focusPid_.load() : 0);
    return;
  }
  if (code >= BTN_MISC && code < KEY_OK) return;  // other buttons: joysticks, pens
  translator.setActiveGroup(group_);
  // Followed in another session too, or the Ctrl and Alt of the switch back (Ctrl+Alt+F1)
  // would stay held here, released in a session that is not ours.
  const EvdevKeyTranslator::Result r = translator.feed(code, value);
  if (!r.key || !active) return;
  if (r.repeatStarted && sink_.repeat) sink_.repeat();
  KeyStroke key = *r.key;
  key.pid = ours ? focusPid_.load() : 0;
  key.timeMs = timeMs;
  if (sink_.key) sink_.key(key);
}

void EvdevInputSource::run(std::vector<int> fds, std::unique_ptr<XkbKeymap> keymap) {
  pthread_setname_np(pthread_self(), "evdevkeys");
  // One keyboard state for all devices: a Shift on one keyboard shifts the other's keys, as the
  // compositor has it.
  EvdevKeyTranslator translator(std::move(keymap));
  struct Device {
    int fd;
    dev_t node;                 // 0 for a recorded stream
    std::vector<char> partial;  // a pipe may hand over part of an event
  };
  std::vector<Device> devices;
  auto add = [&](int fd) {
    struct stat st {};
    const dev_t node = fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) ? st.st_rdev : 0;
    for (const Device& d : devices)
      if (node && d.node == node) return static_cast<void>(close(fd));  // open already
    devices.push_back({fd, node, {}});
  };
  for (int fd : fds) add(fd);
  // Keyboards plugged in later (a Bluetooth keyboard that connects after login, one plugged in
  // again): their nodes appear, then become readable to the group, in the folder.
  int plugged = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (plugged >= 0 && inotify_add_watch(plugged, folder_.c_str(), IN_CREATE | IN_ATTRIB) < 0) {
    close(plugged);
    plugged = -1;
  }
  std::vector<pollfd> polls;
  while (!devices.empty() || plugged >= 0) {
    polls.assign({{wakeFd_, POLLIN, 0}, {plugged, POLLIN, 0}});
    for (const Device& d : devices) polls.push_back({d.fd, POLLIN, 0});
    if (poll(polls.data(), polls.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (polls[0].revents) break;
    if (polls[1].revents) {
      alignas(inotify_event) char events[4096];
      ssize_t got = 0;
      while ((got = read(plugged, events, sizeof events)) > 0) {
        for (ssize_t at = 0; at < got;) {
          const auto* e = reinterpret_cast<const inotify_event*>(events + at);
          bool denied = false;
          if (e->len > 0)
            if (const int fd = openDevice(folder_, e->name, denied); fd >= 0) add(fd);
          at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
      }
    }
    for (size_t i = devices.size(); i-- > 0;) {
      if (!polls[i + 2].revents) continue;
      Device& d = devices[i];
      char buffer[64 * sizeof(input_event)];
      const ssize_t got = read(d.fd, buffer, sizeof buffer);
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (got <= 0) {  // unplugged, or the end of a recorded stream
        close(d.fd);
        devices.erase(devices.begin() + static_cast<long>(i));
        continue;
      }
      d.partial.insert(d.partial.end(), buffer, buffer + got);
      size_t at = 0;
      for (; at + sizeof(input_event) <= d.partial.size(); at += sizeof(input_event)) {
        input_event ev;
        std::memcpy(&ev, d.partial.data() + at, sizeof ev);
        const auto ms = static_cast<uint32_t>(static_cast<uint64_t>(ev.input_event_sec) * 1000 +
                                              static_cast<uint64_t>(ev.input_event_usec) / 1000);
        handle(translator, ev.type, ev.code, ev.value, ms);
      }
      d.partial.erase(d.partial.begin(), d.partial.begin() + static_cast<long>(at));
    }
  }
  for (const Device& d : devices) close(d.fd);
  if (plugged >= 0) close(plugged);
}

}  // namespace ks
