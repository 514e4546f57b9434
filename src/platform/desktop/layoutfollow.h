// The active keyboard layout where the desktop switches layouts itself and tells only the window
// with the focus (Wayland): Plasma's keyboard service, or GNOME's input-source settings. The
// monitor reads keys from the kernel and needs the layout to translate them. (Sway tells it
// through its IPC, with the focus: SwayFocusWatch.)
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/layoutids.h"

class QDBusPendingCallWatcher;

namespace ks {

// Tells `onGroup` the group of the translating keymap that is active: once at start, then after
// each switch. -1 when the desktop's layout is not in the keymap (the keys' own group then).
using GroupSink = std::function<void(int group)>;
// The layouts of the keymap's groups, in order; empty when they are not known.
using KeymapLayouts = std::function<std::vector<XkbLayoutName>()>;

// The keymap group with the layout a desktop names as active: the group with that layout and
// variant, else the only one with that layout, else `index` (the desktop lists its layouts in the
// keymap's order). -1 when not even `index` is a group of the keymap.
int groupOfLayout(const std::vector<XkbLayoutName>& keymap, const XkbLayoutName& active, int index);

// GNOME's input sources, as (type, id) pairs: ("xkb", "de+nodeadkeys"), ("ibus", "anthy").
using InputSources = std::vector<std::pair<std::string, std::string>>;
// The keymap group of GNOME's current input source: the first of the most recently used
// (`mru`), or the first configured (`sources`) before any was used. -1 for an input method's
// source, which brings no layout of its own, or when there is none.
int gnomeActiveGroup(const InputSources& mru, const InputSources& sources,
                     const std::vector<XkbLayoutName>& keymap);

class LayoutFollow {
 public:
  virtual ~LayoutFollow() = default;
  // The desktop followed, for the log.
  virtual const char* desktop() const = 0;
};

// Plasma's keyboard service: the index of the active layout at start and from each
// layoutChanged signal, mapped through the service's list of layouts.
class KdeLayoutFollow : public QObject, public LayoutFollow {
  Q_OBJECT

 public:
  KdeLayoutFollow(GroupSink onGroup, KeymapLayouts keymap);
  // False without a session bus or the service on it.
  bool start();
  const char* desktop() const override { return "KDE Plasma"; }

 private slots:
  void layoutChanged(uint index);
  void layoutListChanged();

 private:
  void askLayouts();
  void report();

  GroupSink onGroup_;
  KeymapLayouts keymap_;
  std::vector<XkbLayoutName> layouts_;  // the service's, in its order
  int index_ = -1;
  bool heard_ = false;      // a signal came before the answer to the first question
  bool listAsked_ = false;  // the service answered (or failed) the question for its list
};

// The desktop's layout follow: Plasma's keyboard service when it runs, else GNOME's input sources
// on a GNOME desktop (XDG_CURRENT_DESKTOP) whose settings schema is installed; null when neither.
// Runs on the main thread; the answers come through its event loop.
std::unique_ptr<LayoutFollow> followDesktopLayout(GroupSink onGroup, KeymapLayouts keymap);

}  // namespace ks
