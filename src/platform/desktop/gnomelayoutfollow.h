// GNOME's input sources (org.gnome.desktop.input-sources): the current one is the first of the
// most recently used, rewritten at each switch. Read through GSettings; the change signals come
// through the GLib main loop that Qt's event loop runs.
#pragma once

#include <memory>

#include "platform/desktop/layoutfollow.h"

namespace ks {

class GnomeLayoutFollow : public LayoutFollow {
 public:
  // Null when the settings schema is not installed (no GNOME on this machine).
  static std::unique_ptr<GnomeLayoutFollow> start(GroupSink onGroup, KeymapLayouts keymap);
  ~GnomeLayoutFollow() override;
  const char* desktop() const override { return "GNOME"; }

  struct Impl;

 private:
  explicit GnomeLayoutFollow(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace ks
