// Watches the system keyboard for the user switching layouts (the keyboard's descriptor wakes the
// program's event loop) and tells whoever keeps a layout that follows the system one.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace ks {

class SystemKeyboard;

class KeyboardWatch : public QObject {
  Q_OBJECT

 public:
  // `switched` runs on the main thread after each switch. A keyboard without news does nothing.
  KeyboardWatch(SystemKeyboard& keyboard, std::function<void()> switched);
  ~KeyboardWatch() override;

 private:
  SystemKeyboard& keyboard_;
  std::function<void()> switched_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace ks
