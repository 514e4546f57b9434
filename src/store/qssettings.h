// The two program-wide stores (installation policy, workstation) and the lesson options read
// from the policy.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "store/dynamicsettings.h"

namespace ks {

extern std::unique_ptr<TDynamicSettings> PolicySettings;
extern std::unique_ptr<TDynamicSettings> workstationSettings;
extern std::string LanguageBaseName;  // "language"

// Lesson options taken from the policy whenever it is loaded.
struct LessonOptions {
  bool disableColorKbd = false;   // "disable_colorkbd"
  int wordLength = 5;             // W: "wpm_length", else "ErrorFactor", else 5
  bool preventBackspace = false;  // "Prevent_Backspace"
};
LessonOptions& lessonOptions();
// Re-reads the lesson options from `PolicySettings` (defaults when there is none).
void ReadLessonOptions();

// Opens `dir`/`fileName` as the policy (read-only, shared). False when it cannot be opened.
bool OpenPolicySettings(const std::string& fileName, const std::filesystem::path& dir);

// Opens `dir`/`fileName` as the workstation store with `mode`, falling back to the same name
// with ".2nd" when another program holds the first. When both fail it shows the error box and
// returns false.
bool OpenWorkstationSettings(const std::filesystem::path& dir, const std::string& fileName,
                             int mode);

// A program that got the ".2nd" copy because another held the workstation's file takes the
// file itself once it is free: the other may have set up there what this one needs. True when
// the store is (now) the file itself.
bool ReturnToWorkstationFile(int mode);

// Writes the workstation store and lets go of its file, so that another program may take it
// (the monitor, while it is off). False when writing failed.
bool CloseWorkstationSettings();
// Takes the store's file again after CloseWorkstationSettings: the workstation's own file, else
// its ".2nd" copy while another program holds it (the error box when neither opens). On a store
// that is open it does what ReturnToWorkstationFile does.
bool ReopenWorkstationSettings(int mode);

// A workstation value as both programs share it: the store's own; while this program works on
// the ".2nd" copy and the copy lacks it, the value in the file the other program holds.
std::string ReadWorkstationValue(const std::string& name);

// The mode the tutor opens its workstation store with: 2, or 1 under "WKSLegacyMode".
int workstationOpenMode();

}  // namespace ks
