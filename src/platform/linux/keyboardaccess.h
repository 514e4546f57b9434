// Whether this account may read a keyboard among the kernel's input devices: the monitor's only
// source of keys under Wayland, open to members of the `input` group.
#pragma once

#include <string>
#include <vector>

namespace ks {

enum class KeyboardProblem {
  None,
  NoKeyboard,    // no keyboard device at all
  NoPermission,  // keyboards, but the account may read none (not in the `input` group)
};

// Which event devices under `folder` are keyboards (or pointers, whose clicks end a word) this
// account may read, as open descriptors that the caller owns; none, and `problem` says why,
// when no keyboard is among them.
std::vector<int> openKeyboards(const std::string& folder, KeyboardProblem& problem);

}  // namespace ks
