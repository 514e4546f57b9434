#include "platform/systemkeyboard.h"

namespace ks {
namespace {

SystemKeyboard* installed = nullptr;

}  // namespace

SystemKeyboard& systemKeyboard() {
  static NullSystemKeyboard fallback;
  return installed ? *installed : fallback;
}

void setSystemKeyboard(SystemKeyboard* keyboard) {
  installed = keyboard;
}

std::string systemLayoutId() {
  return systemKeyboard().activeLayoutId();
}

}  // namespace ks
