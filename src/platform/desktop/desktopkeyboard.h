// The program's system keyboard for the desktop it runs on: in a Wayland session the compositor's
// keyboard, with the layout switch the desktop offers (sway's IPC, KDE's keyboard service); in an
// X11 session the X server's.
#pragma once

#include <memory>

#include "platform/systemkeyboard.h"

namespace ks {

// The Wayland keyboard shares the toolkit's connection when the application runs on Wayland
// (so create it after the application). Without a desktop: a fixed US keymap, or a null
// keyboard when not even that compiles.
std::unique_ptr<SystemKeyboard> createSystemKeyboard();

}  // namespace ks
