// Plasma's keyboard service on the session bus: it switches among the user's layouts (in the
// keymap's order) and tells the active one.
#pragma once

#include <QDBusMessage>

namespace ks {

inline constexpr const char* kKdeKeyboardService = "org.kde.keyboard";
inline constexpr const char* kKdeKeyboardPath = "/Layouts";
inline constexpr const char* kKdeKeyboardInterface = "org.kde.KeyboardLayouts";

// A call of `method` on the service, to be given its arguments and sent.
inline QDBusMessage kdeKeyboardCall(const char* method) {
  return QDBusMessage::createMethodCall(kKdeKeyboardService, kKdeKeyboardPath,
                                        kKdeKeyboardInterface, method);
}

}  // namespace ks
