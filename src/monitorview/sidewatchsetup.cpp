#include "monitorview/sidewatchsetup.h"

#include <algorithm>

#include "store/autostart.h"
#include "store/dynamicsettings.h"
#include "store/qssettings.h"

namespace ks {
namespace {

constexpr size_t kLineLimit = 255;
const std::string kWordLineHead = "Event;Word;0;";
const std::string kWordLineTail = ";space;5;10;";

}  // namespace

// The monitor, started first, holds the workstation's file; the tutor then reads what the
// monitor and an earlier tutor set up for the account there.
bool SidewatchSetup::AccountBool(const std::string& key) {
  return textToBool(ReadWorkstationValue(key + LoginName()));
}

std::string SidewatchSetup::AccountString(const std::string& key) {
  return ReadWorkstationValue(key + LoginName());
}

void SidewatchSetup::SetAccount(const std::string& key, bool value) {
  if (workstationSettings) workstationSettings->WriteBool(key + LoginName(), value);
}

void SidewatchSetup::SetAccount(const std::string& key, const std::string& value) {
  if (workstationSettings) workstationSettings->WriteString(key + LoginName(), value);
}

int SidewatchSetup::CurrentUserOption() const {
  if (!AccountBool("LaunchAtStartup.")) return NoAutoStart;
  if (AccountBool("UseSelectedUser.")) return ThisUser;
  return AccountBool("ShowUserList.") ? AskWhoTypes : ThisUser;
}

void SidewatchSetup::ChooseUserOption(int option) {
  if (option == ThisUser || option == AskWhoTypes) {
    SetAccount("UseSelectedUser.", option == ThisUser);
    SetAccount("ShowUserList.", option == AskWhoTypes);
  }
}

int SidewatchSetup::BreakEntry() const {
  const int position = user_.ReadInteger("BreakTrackBar.position");
  if (position <= 0) return 3;
  return std::clamp(position / 2 - 1, 0, kBreakEntries - 1);
}

void SidewatchSetup::ChooseBreakEntry(int entry) {
  user_.WriteInteger("BreakTrackBar.position", 2 * entry + 2);
}

std::string SidewatchSetup::Finish(bool completed, int option, int breakEntry, bool noWords,
                                   bool wordsForcedOff, bool boxEnabled,
                                   const std::filesystem::path& monitorProgram) {
  SetAccount("SelectedUser.", user_.ReadString("UserName"));
  if (!completed) return {};
  SetAccount("LaunchAtStartup.", option != NoAutoStart);
  std::string failure = MakeAutoStartable(monitorProgram);
  // The list showed a break time: the monitor reminds at that time, not at none.
  if (user_.ReadInteger("BreakTrackBar.position") <= 0) ChooseBreakEntry(breakEntry);
  user_.WriteBool("AutoIncludeMode", true);
  const bool off = noWords || wordsForcedOff || !boxEnabled;
  user_.WriteInteger("DoNotCollectWords", off ? 1 : 0);
  SetAccount("SidewatchInit.", true);
  return failure;
}

std::string WordPracticeLine(const std::string& words) {
  std::string w;
  for (char c : words) {
    const auto u = static_cast<unsigned char>(c);
    // A separator in a typed word would start a new field of the event line.
    if (c == ';' || c == '=' || u < 32 || u == 127) {
      w += ' ';
    } else {
      w += c;
    }
  }
  const size_t first = w.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  w = w.substr(first, w.find_last_not_of(' ') - first + 1) + " ";
  const size_t room = (kLineLimit - kWordLineHead.size() - kWordLineTail.size() - 2) / 3;
  if (w.size() > room) w = w.substr(0, w.rfind(' ', room - 1) + 1);
  if (w.find_first_not_of(' ') == std::string::npos) return {};
  w.pop_back();
  return kWordLineHead + w + " " + w + " " + w + kWordLineTail;
}

}  // namespace ks
