// Sway's IPC (the i3 protocol on the socket named by $SWAYSOCK), the layout switch of sway and
// other wlroots compositors that speak it.
#pragma once

#include <string>

#include "platform/wayland/waylandsystemkeyboard.h"

namespace ks {

// Runs a sway command ("input type:keyboard xkb_switch_layout 1") over the socket at
// `socketPath`; true when the compositor answers that every part of it succeeded.
bool swayCommand(const std::string& socketPath, const std::string& command);

// The compositor's tree of outputs, workspaces and windows (JSON); empty when it does not answer.
std::string swayTree(const std::string& socketPath);

// The active layout of the compositor's keyboards, -1 when it does not say.
int swayActiveLayout(const std::string& socketPath);

class SwayLayoutSwitcher : public LayoutSwitcher {
 public:
  explicit SwayLayoutSwitcher(std::string socketPath) : socketPath_(std::move(socketPath)) {}
  bool switchTo(int group) override;
  int activeGroup() override;

 private:
  std::string socketPath_;
};

}  // namespace ks
