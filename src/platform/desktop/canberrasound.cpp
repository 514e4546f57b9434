#include "platform/desktop/canberrasound.h"

#include <canberra.h>
#include <dlfcn.h>

#include "platform/paths.h"

namespace ks {
namespace {

struct CanberraApi {
  int (*create)(ca_context** context);
  int (*destroy)(ca_context* context);
  int (*play)(ca_context* context, uint32_t id, ...);
};

// Null when the library is not there: no sound then.
const CanberraApi* canberra() {
  static const CanberraApi* api = []() -> const CanberraApi* {
    void* lib = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) return nullptr;
    static CanberraApi loaded{};
    loaded.create = reinterpret_cast<decltype(loaded.create)>(dlsym(lib, "ca_context_create"));
    loaded.destroy = reinterpret_cast<decltype(loaded.destroy)>(dlsym(lib, "ca_context_destroy"));
    loaded.play = reinterpret_cast<decltype(loaded.play)>(dlsym(lib, "ca_context_play"));
    return loaded.create && loaded.destroy && loaded.play ? &loaded : nullptr;
  }();
  return api;
}

}  // namespace

CanberraSound::CanberraSound(std::filesystem::path folder) : folder_(std::move(folder)) {}

CanberraSound::~CanberraSound() {
  if (context_) canberra()->destroy(context_);
}

bool CanberraSound::open() {
  if (!opened_) {
    opened_ = true;
    const CanberraApi* api = canberra();
    if (api == nullptr || api->create(&context_) != CA_SUCCESS) {
      context_ = nullptr;
      failed_ = true;
    }
  }
  return context_ != nullptr;
}

const char* CanberraSound::fileName(SoundId id) {
  switch (id) {
    case SoundId::Click:
      return "Click.wav";
    case SoundId::TheEnd:
      return "Theend.wav";
    case SoundId::Error:
      return "Error.wav";
    case SoundId::Error2:
      return "Error2.wav";
    case SoundId::Intro:
      return "Intro.wav";
  }
  return "";
}

void CanberraSound::play(SoundId id) {
  if (!enabled_ || failed_) return;
  std::filesystem::path file = joinResolved(folder_, fileName(id));
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return;  // a missing sound never stops an exercise
  if (!open()) return;
  int rc = canberra()->play(context_, 0, CA_PROP_MEDIA_FILENAME, file.c_str(), nullptr);
  if (rc != CA_SUCCESS) failed_ = true;
}

}  // namespace ks
