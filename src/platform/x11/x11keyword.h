// How one recorded key becomes the monitor's key word: the virtual-key code the monitor counts
// by, the command and upper-case flags, and the character the key types without Shift.
#pragma once

#include <optional>

#include "monitor/monitorports.h"
#include "platform/x11/xkbkeymap.h"

namespace ks {

// `keysym`: the key's symbol at level 1 of its group; `state`: the core event's modifier state;
// `unshifted`: what the key types without Shift (AltGr kept). Nothing for modifier keys, which
// are never reported (Shift would otherwise break every word).
std::optional<KeyStroke> keyStrokeOf(unsigned keysym, unsigned state,
                                     const XkbKeymap::Result& unshifted);

}  // namespace ks
