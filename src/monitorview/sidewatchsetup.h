// The monitor's set-up for this computer account and learner, as the first-use wizard and the
// monitor page read and write it: the account's keys in the workstation settings (each name
// followed by the login name) and the learner's notification settings.
#pragma once

#include <filesystem>
#include <string>

namespace ks {

class TDynamicSettings;

class SidewatchSetup {
 public:
  // Entries of the user-option list.
  enum UserOption { ThisUser = 0, AskWhoTypes = 1, NoAutoStart = 2 };
  static constexpr int kBreakEntries = 5;  // 30 min .. 2.5 hours

  explicit SidewatchSetup(TDynamicSettings& user) : user_(user) {}

  // The account's workstation keys ("SidewatchInit.", "LaunchAtStartup." ...); false without
  // workstation settings.
  static bool AccountBool(const std::string& key);
  static std::string AccountString(const std::string& key);
  static void SetAccount(const std::string& key, bool value);
  static void SetAccount(const std::string& key, const std::string& value);

  int CurrentUserOption() const;
  // Written at once, as the wizard changes it.
  void ChooseUserOption(int option);
  // The break reminder in quarter hours: entry i is 2i + 2; nothing stored shows "2 hours".
  int BreakEntry() const;
  void ChooseBreakEntry(int entry);

  // The wizard closed: the account's selected learner is this one. When `completed`, the
  // autostart entry follows the option, the learner's words are collected or not, and the
  // account counts as set up. Returns why the autostart entry could not be made as chosen;
  // empty when it was.
  std::string Finish(bool completed, int option, int breakEntry, bool noWords, bool wordsForcedOff,
                     bool boxEnabled, const std::filesystem::path& monitorProgram);

 private:
  TDynamicSettings& user_;
};

// The event line that practises `words` three times over; empty when no word is left after the
// field separators and control characters are taken out.
std::string WordPracticeLine(const std::string& words);

}  // namespace ks
