#include "platform/desktop/keyboardwatch.h"

#include <QSocketNotifier>

#include "platform/systemkeyboard.h"

namespace ks {

KeyboardWatch::KeyboardWatch(SystemKeyboard& keyboard, std::function<void()> switched)
    : keyboard_(keyboard), switched_(std::move(switched)) {
  const int fd = keyboard_.changeDescriptor();
  if (fd < 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    if (keyboard_.layoutSwitched() && switched_) switched_();
  });
}

KeyboardWatch::~KeyboardWatch() = default;

}  // namespace ks
