#include "platform/x11/x11inputsource.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/record.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/x11/x11keyword.h"

namespace ks {
namespace {

// XInput 2's grab requests (XI2proto.h, whose type names clash with Xlib's).
constexpr unsigned char X_XIGrabDevice = 51, X_XIUngrabDevice = 52;

}  // namespace

struct X11InputSource::Impl {
  Display* ctrl = nullptr;  // queries and the record context
  Display* data = nullptr;  // the recorded stream
  xcb_connection_t* xcb = nullptr;
  std::unique_ptr<XkbKeymap> keymap;
  XRecordContext context = 0;
  bool xres = false;
  unsigned long clientMask = 0;  // resource bits of a client's ids
  Atom activeWindow = None;
  Atom wmPid = None;

  // Recorder state, touched only on the source's thread.
  std::unordered_map<Window, uint32_t> pidOfWindow;
  // Clients (by resource base) whose keyboard grab the server granted, until they let go or
  // end; and clients whose grab request waits for its reply (true: an XInput 2 request, whose
  // reply has its status further on).
  std::unordered_set<unsigned long> grabbers;
  std::unordered_map<unsigned long, bool> asking;
  int xiOpcode = 0;                  // XInput 2's major opcode, 0 without it
  std::unordered_set<int> pointers;  // XInput devices that are no keyboard
  unsigned long focusBase = 0;
  uint32_t lastSeenPid = 0;
  int lastKeycode = -1;  // for auto-repeat: pressed and not released
  bool repeatWarned = false;
  std::vector<KeyStroke> pending;  // keys of one batch, until their deliveries are seen

  // What the record callback reaches; lives as long as the connections, whose closing may
  // still deliver the last records.
  const Sink* sink = nullptr;
  const std::atomic<bool>* locked = nullptr;
  const std::atomic<bool>* privateField = nullptr;
  // Keys of nobody: a grab, a locked session, a password field.
  bool unattributed() const { return !grabbers.empty() || *locked || *privateField; }

  ~Impl() {
    if (context) XRecordFreeContext(ctrl, context);
    if (data) XCloseDisplay(data);
    if (ctrl) XCloseDisplay(ctrl);
    if (xcb) xcb_disconnect(xcb);
  }
};

namespace {

int ignoreXErrors(Display*, XErrorEvent*) {
  return 0;
}

Window focusWindow(Display* d) {
  Window w = None;
  int revert = 0;
  XGetInputFocus(d, &w, &revert);
  return w == PointerRoot ? None : w;
}

uint32_t netWmPid(Display* d, Atom atom, Window w) {
  // Up the tree to the window that carries the property.
  for (int depth = 0; w != None && depth < 16; ++depth) {
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* prop = nullptr;
    if (XGetWindowProperty(d, w, atom, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after,
                           &prop) == Success &&
        prop) {
      const uint32_t pid =
          n == 1 && format == 32 ? static_cast<uint32_t>(*reinterpret_cast<long*>(prop)) : 0;
      XFree(prop);
      if (pid) return pid;
    }
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) break;
    if (children) XFree(children);
    if (parent == root) break;
    w = parent;
  }
  return 0;
}

std::string wmClassOf(Display* d, Window w) {
  for (int depth = 0; w != None && depth < 16; ++depth) {
    XClassHint hint{};
    if (XGetClassHint(d, w, &hint)) {
      std::string cls = hint.res_class ? hint.res_class : "";
      if (hint.res_name) XFree(hint.res_name);
      if (hint.res_class) XFree(hint.res_class);
      if (!cls.empty()) return cls;
    }
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) break;
    if (children) XFree(children);
    if (parent == root) break;
    w = parent;
  }
  return {};
}

}  // namespace

// The pid of the client that owns `w`, asked of the server (XRes); 0 when it does not know, as
// for clients on other hosts.
static uint32_t pidOf(X11InputSource::Impl& s, Window w) {
  if (w == None) return 0;
  if (auto it = s.pidOfWindow.find(w); it != s.pidOfWindow.end()) return it->second;
  uint32_t pid = 0;
  if (s.xres) {
    XResClientIdSpec wanted{w, XRES_CLIENT_ID_PID_MASK};
    long n = 0;
    XResClientIdValue* values = nullptr;
    XResQueryClientIds(s.ctrl, 1, &wanted, &n, &values);
    if (values) {
      for (long i = 0; i < n; ++i) {
        const pid_t p = XResGetClientPid(&values[i]);
        if (p > 0) pid = static_cast<uint32_t>(p);
      }
      XResClientIdsDestroy(n, values);
    }
  } else {
    pid = netWmPid(s.ctrl, s.wmPid, w);
  }
  if (s.pidOfWindow.size() > 256) s.pidOfWindow.clear();
  s.pidOfWindow[w] = pid;
  return pid;
}

// The focused program; announced when it differs from the last one.
static uint32_t focusedPid(X11InputSource::Impl& s, const X11InputSource::Sink& sink) {
  const Window w = focusWindow(s.ctrl);
  s.focusBase = s.clientMask ? (w & ~s.clientMask) : 0;
  const uint32_t pid = pidOf(s, w);
  if (pid && pid != s.lastSeenPid) {
    s.lastSeenPid = pid;
    ProgramSeen seen = describeProcess(pid, wmClassOf(s.ctrl, w));
    if (!seen.name.empty() && sink.programSeen) sink.programSeen(seen);
  }
  return pid;
}

namespace {

void onRecord(XPointer closure, XRecordInterceptData* d) {
  X11InputSource::Impl& s = *reinterpret_cast<X11InputSource::Impl*>(closure);
  const X11InputSource::Sink& sink = *s.sink;
  if (d->category == XRecordClientDied) {
    s.grabbers.erase(d->id_base);
    s.asking.erase(d->id_base);
    s.pidOfWindow.clear();
  } else if (d->category == XRecordFromClient && d->data_len > 0) {
    // A request is no grab yet: only the server's reply says whether it was granted.
    const unsigned char op = d->data[0];
    if (op == X_GrabKeyboard) s.asking[d->id_base] = false;
    if (op == X_UngrabKeyboard) s.grabbers.erase(d->id_base);
    const unsigned char minor = d->data[1];
    // The device's field: 16 bytes into a grab request, 8 into an ungrab (lengths in words).
    const unsigned offset = minor == X_XIGrabDevice ? 16 : 8;
    if (s.xiOpcode && op == s.xiOpcode && d->data_len * 4 >= offset + 2) {
      // An XInput 2 grab of any device that is not known to be a pointer counts.
      uint16_t device = 0;
      std::memcpy(&device, d->data + offset, sizeof device);
      if (!s.pointers.count(device)) {
        if (minor == X_XIGrabDevice) s.asking[d->id_base] = true;
        if (minor == X_XIUngrabDevice) s.grabbers.erase(d->id_base);
      }
    }
  } else if (d->category == XRecordFromServer && d->data_len > 0 && d->data[0] == X_Reply) {
    // Only replies to the grab requests are recorded; each client's come in order.
    if (auto it = s.asking.find(d->id_base); it != s.asking.end()) {
      const bool xi = it->second;
      s.asking.erase(it);
      const unsigned char status = xi ? (d->data_len >= 3 ? d->data[8] : 1) : d->data[1];
      if (status == GrabSuccess) s.grabbers.insert(d->id_base);
    }
  } else if (d->category == XRecordFromServer && d->data_len > 0) {
    const auto* ev = reinterpret_cast<const xEvent*>(d->data);
    const int type = ev->u.u.type & 0x7f;
    const int detail = ev->u.u.detail;
    if (d->id_base != 0) {
      if (type == KeyPress) {
        // A key delivered to another client than the focused one: someone grabbed it.
        if (s.focusBase && d->id_base != s.focusBase && !s.pending.empty())
          s.pending.back().pid = 0;
        // Under a grab every key goes to its holder: one delivered elsewhere shows that the
        // grabs remembered have ended (a grab window that was unmapped ends its grab unasked).
        if (!s.grabbers.empty() && !s.grabbers.count(d->id_base)) s.grabbers.clear();
      }
    } else if (type == KeyRelease) {
      if (detail == s.lastKeycode) s.lastKeycode = -1;
    } else if (type == ButtonPress) {
      const uint32_t pid = s.unattributed() ? 0 : focusedPid(s, sink);
      if (sink.click) sink.click(detail, pid);
    } else if (type == KeyPress && s.keymap) {
      const unsigned state = ev->u.keyButtonPointer.state;
      const int group = (state >> 13) & 3;
      const KeySym sym = XkbKeycodeToKeysym(s.ctrl, static_cast<KeyCode>(detail), group, 0);
      const bool altGr = (state & Mod5Mask) != 0;
      const auto unshifted = s.keymap->lookup(detail - 8, group, altGr ? 2 : 0);
      if (auto key = keyStrokeOf(static_cast<unsigned>(sym), state, unshifted)) {
        if (detail == s.lastKeycode) {
          if (!s.repeatWarned && sink.repeat) sink.repeat();
          s.repeatWarned = true;
        } else {
          s.repeatWarned = false;
        }
        s.lastKeycode = detail;
        const uint32_t pid = focusedPid(s, sink);
        key->pid = s.unattributed() ? 0 : pid;
        key->timeMs = static_cast<uint32_t>(ev->u.keyButtonPointer.time);
        s.pending.push_back(*key);
      }
    }
  }
  XRecordFreeData(d);
}

}  // namespace

X11InputSource::X11InputSource(Sink sink) : sink_(std::move(sink)) {}

X11InputSource::~X11InputSource() {
  stop();
}

bool X11InputSource::start() {
  auto fail = [&](const std::string& why) {
    impl_.reset();
    if (sink_.unavailable) sink_.unavailable(why);
    return false;
  };
  const char* session = std::getenv("XDG_SESSION_TYPE");
  if (std::getenv("WAYLAND_DISPLAY") || (session && std::strcmp(session, "wayland") == 0))
    return fail("monitoring unavailable: needs an X11 session");
  impl_ = std::make_unique<Impl>();
  Impl& s = *impl_;
  s.ctrl = XOpenDisplay(nullptr);
  s.data = s.ctrl ? XOpenDisplay(nullptr) : nullptr;
  if (!s.data) return fail("monitoring unavailable: needs an X11 session");
  XSetErrorHandler(ignoreXErrors);  // a window gone meanwhile is no reason to stop
  int major = 0, minor = 0;
  if (!XRecordQueryVersion(s.ctrl, &major, &minor))
    return fail("monitoring unavailable: the X server lacks the RECORD extension");
  int evBase = 0, errBase = 0;
  s.xres = XResQueryExtension(s.ctrl, &evBase, &errBase);
  if (s.xres) {
    int n = 0;
    XResClient* clients = nullptr;
    XResQueryClients(s.ctrl, &n, &clients);  // its status differs between versions
    if (clients) {
      if (n > 0) s.clientMask = clients[0].resource_mask;
      XFree(clients);
    }
  }
  s.xcb = xcb_connect(nullptr, nullptr);
  if (s.xcb && !xcb_connection_has_error(s.xcb)) s.keymap = XkbKeymap::fromX11(s.xcb);
  s.activeWindow = XInternAtom(s.ctrl, "_NET_ACTIVE_WINDOW", False);
  s.wmPid = XInternAtom(s.ctrl, "_NET_WM_PID", False);
  XSelectInput(s.ctrl, DefaultRootWindow(s.ctrl), PropertyChangeMask);

  int xiEvent = 0, xiError = 0;
  if (XQueryExtension(s.ctrl, "XInputExtension", &s.xiOpcode, &xiEvent, &xiError)) {
    int n = 0;
    if (XIDeviceInfo* devices = XIQueryDevice(s.ctrl, XIAllDevices, &n)) {
      for (int i = 0; i < n; ++i)
        if (devices[i].use == XIMasterPointer || devices[i].use == XISlavePointer)
          s.pointers.insert(devices[i].deviceid);
      XIFreeDeviceInfo(devices);
    }
  } else {
    s.xiOpcode = 0;
  }

  XRecordRange* range = XRecordAllocRange();
  if (!range) return fail("monitoring unavailable: the X server lacks the RECORD extension");
  range->device_events.first = KeyPress;
  range->device_events.last = ButtonPress;
  range->delivered_events.first = KeyPress;
  range->delivered_events.last = KeyPress;
  range->core_requests.first = X_GrabKeyboard;
  range->core_requests.last = X_UngrabKeyboard;
  range->core_replies.first = X_GrabKeyboard;
  range->core_replies.last = X_GrabKeyboard;
  if (s.xiOpcode) {
    range->ext_requests.ext_major = {static_cast<unsigned char>(s.xiOpcode),
                                     static_cast<unsigned char>(s.xiOpcode)};
    range->ext_requests.ext_minor = {X_XIGrabDevice, X_XIUngrabDevice};
    range->ext_replies.ext_major = range->ext_requests.ext_major;
    range->ext_replies.ext_minor = {X_XIGrabDevice, X_XIGrabDevice};
  }
  range->client_died = True;
  XRecordClientSpec clients = XRecordAllClients;
  s.context = XRecordCreateContext(s.ctrl, 0, &clients, 1, &range, 1);
  XFree(range);
  XSync(s.ctrl, False);
  if (!s.context) return fail("monitoring unavailable: the X server lacks the RECORD extension");
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) return fail("monitoring unavailable: no event descriptor");
  thread_ = std::thread([this] { run(); });
  return true;
}

void X11InputSource::run() {
  // Named, so that one can tell from outside whether the program records.
  pthread_setname_np(pthread_self(), "x11record");
  Impl& s = *impl_;
  s.sink = &sink_;
  s.locked = &locked_;
  s.privateField = &private_;
  if (!XRecordEnableContextAsync(s.data, s.context, onRecord, reinterpret_cast<XPointer>(&s)))
    return;
  pollfd fds[3] = {{ConnectionNumber(s.data), POLLIN, 0},
                   {ConnectionNumber(s.ctrl), POLLIN, 0},
                   {wakeFd_, POLLIN, 0}};
  for (;;) {
    XRecordProcessReplies(s.data);
    for (const KeyStroke& k : s.pending)
      if (sink_.key) sink_.key(k);
    s.pending.clear();
    while (XPending(s.ctrl)) {
      XEvent ev;
      XNextEvent(s.ctrl, &ev);
      if (ev.type == PropertyNotify && ev.xproperty.atom == s.activeWindow) focusedPid(s, sink_);
      if (ev.type == MappingNotify && s.xcb) {
        if (auto km = XkbKeymap::fromX11(s.xcb)) s.keymap = std::move(km);
      }
    }
    if (poll(fds, 3, -1) < 0 && errno != EINTR) break;
    if (fds[2].revents) break;
    if (fds[0].revents & (POLLERR | POLLHUP)) break;
  }
  XRecordDisableContext(s.ctrl, s.context);
  XSync(s.ctrl, False);
}

void X11InputSource::stop() {
  if (thread_.joinable()) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(wakeFd_, &one, sizeof one);
    thread_.join();
  }
  if (wakeFd_ >= 0) close(wakeFd_);
  wakeFd_ = -1;
  impl_.reset();
}

}  // namespace ks
