#include "platform/desktop/canberrasound.h"

#include <canberra.h>

#include "platform/paths.h"

namespace ks {

CanberraSound::CanberraSound(std::filesystem::path folder) : folder_(std::move(folder)) {
  if (ca_context_create(&context_) != CA_SUCCESS) {
    context_ = nullptr;
    failed_ = true;
  }
}

CanberraSound::~CanberraSound() {
  if (context_) ca_context_destroy(context_);
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
  if (!enabled_ || failed_ || !context_) return;
  std::filesystem::path file = joinResolved(folder_, fileName(id));
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return;  // a missing sound never stops an exercise
  int rc = ca_context_play(context_, 0, CA_PROP_MEDIA_FILENAME, file.c_str(), nullptr);
  if (rc != CA_SUCCESS) failed_ = true;
}

}  // namespace ks
