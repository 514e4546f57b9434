#include "platform/sound.h"

namespace ks {
namespace {

NullSound silence;
Sound* current = nullptr;

}  // namespace

Sound& sound() {
  return current ? *current : silence;
}
void setSound(Sound* s) {
  current = s;
}

}  // namespace ks
