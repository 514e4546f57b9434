#include "platform/desktop/canberrasound.h"

#include <canberra.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

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

void quietAlsaHandler(const char*, int, const char*, int, const char*, ...) {}

// ALSA reports a missing or odd device on standard error itself; the program reports failures
// its own way (no more sounds), so those lines are only noise.
void silenceAlsa() {
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  static const bool done = [] {
    void* lib = openLibrary("libasound.so.2");
    int (*setHandler)(Handler) = nullptr;
    if (lib != nullptr && bindSymbol(lib, "snd_lib_error_set_handler", setHandler))
      setHandler(quietAlsaHandler);
    return true;
  }();
  (void)done;
}

std::filesystem::path runtimeFolder() {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  return dir != nullptr ? std::filesystem::path(dir) : std::filesystem::path();
}

}  // namespace

bool SoundOutputPresent(const std::filesystem::path& root,
                        const std::filesystem::path& runtimeFolder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (std::getenv("PULSE_SERVER") != nullptr) return true;
  if (!runtimeFolder.empty() && (fs::exists(runtimeFolder / "pulse" / "native", ec) ||
                                 fs::exists(runtimeFolder / "pipewire-0", ec)))
    return true;
  std::ifstream cards(root / "proc" / "asound" / "cards");
  if (cards) {
    std::stringstream text;
    text << cards.rdbuf();
    return text.str().find("no soundcards") == std::string::npos && !text.str().empty();
  }
  // Without the kernel's list (some containers), a playback device node still counts.
  for (const auto& entry : fs::directory_iterator(root / "dev" / "snd", ec)) {
    if (entry.path().filename().string().rfind("pcmC", 0) == 0) return true;
  }
  return false;
}

CanberraSound::CanberraSound(std::filesystem::path folder) : folder_(std::move(folder)) {}

CanberraSound::~CanberraSound() {
  if (context_) canberra()->destroy(context_);
}

bool CanberraSound::open() {
  if (!opened_) {
    opened_ = true;
    const CanberraApi* api =
        SoundOutputPresent("/", runtimeFolder()) ? (silenceAlsa(), canberra()) : nullptr;
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
