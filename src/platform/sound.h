// Sounds come in through this interface: the tutor plays them with the system's sound service,
// tests record them.
#pragma once

namespace ks {

// The tutor's sound table.
enum class SoundId { Click = 1, TheEnd = 2, Error = 3, Error2 = 4, Intro = 5 };

class Sound {
 public:
  virtual ~Sound() = default;
  // Plays asynchronously; does nothing when sounds are off or have failed before.
  virtual void play(SoundId id) = 0;
  // The learner's "Sounds" switch: the settings page turns sounds on and off while running.
  virtual void setEnabled(bool on) { (void)on; }
  virtual bool enabled() const { return false; }
};

// A sound that plays nothing (tests, and programs without a sound service).
class NullSound final : public Sound {
 public:
  void play(SoundId) override {}
};

}  // namespace ks

namespace ks {

// The program-wide sound (a silent one until the program installs its own; not owned).
Sound& sound();
void setSound(Sound* s);

}  // namespace ks
