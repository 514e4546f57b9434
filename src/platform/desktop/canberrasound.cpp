#include "platform/desktop/canberrasound.h"

#include <canberra.h>

#include "platform/dynlib.h"
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
    void* lib = openLibrary("libcanberra.so.0");
    static CanberraApi loaded{};
    if (lib == nullptr || !bindSymbol(lib, "ca_context_create", loaded.create) ||
        !bindSymbol(lib, "ca_context_destroy", loaded.destroy) ||
        !bindSymbol(lib, "ca_context_play", loaded.play))
      return nullptr;
    return &loaded;
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
