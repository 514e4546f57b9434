// Sounds played with the desktop's sound service (libcanberra). After the first failure no
// sound is tried again in this run: a machine without sound must not slow typing down. The
// library is loaded with the first sound, not with the program, and not at all on a machine
// that has nothing to play on (the sound libraries would fill standard error with complaints).
#pragma once

#include <filesystem>
#include <string>

#include "platform/sound.h"

struct ca_context;

namespace ks {

// Whether anything can play sound: a sound server's socket (PulseAudio, PipeWire) in
// `runtimeFolder`, or a sound card listed under `root` ("proc/asound/cards", "dev/snd").
bool SoundOutputPresent(const std::filesystem::path& root,
                        const std::filesystem::path& runtimeFolder);

class CanberraSound final : public Sound {
 public:
  // Sound files are looked up in `folder` by their table names ("Click.wav", ...).
  explicit CanberraSound(std::filesystem::path folder);
  ~CanberraSound() override;
  CanberraSound(const CanberraSound&) = delete;
  CanberraSound& operator=(const CanberraSound&) = delete;

  void play(SoundId id) override;
  void setEnabled(bool on) override { enabled_ = on; }
  bool enabled() const override { return enabled_; }
  bool failed() const { return failed_; }
  // The file name of a table entry.
  static const char* fileName(SoundId id);

 private:
  bool open();

  std::filesystem::path folder_;
  ca_context* context_ = nullptr;
  bool opened_ = false;
  bool enabled_ = false;
  bool failed_ = false;
};

}  // namespace ks
