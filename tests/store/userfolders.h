// An installation with a data folder, the program paths, a policy and the messages the learner
// code shows, for the tests of learners, results and high scores.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "recordingdialogs.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "support/tempdir.h"

namespace ks::test {

class UserFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_ / "Database");
    policy("");
    TLocalize& lang = Localize();
    lang.SetString(1, "Keyscholar");
    lang.SetString(12, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    lang.SetString(13, "abcdefghijklmnopqrstuvwxyz");
    lang.SetString(137, "Player");
    lang.SetString(259, "The list is in use.");
    lang.SetString(260, " Try again?");
    lang.SetString(272, " min");
    lang.SetString(273, " h ");
    lang.SetString(528, "Already logged in.");
    lang.SetString(1107, "none");
    lang.SetString(1162, "General");
    lang.SetString(1376, "Name used by");
    lang.SetString(1377, "Unusable name.");
    lang.SetString(1390, "min");
    lang.SetString(1391, "No data folder.");
    lang.SetString(1887, "Group file cannot be opened:");
    lang.SetString(1888, "Check the folder.");
    ProgramSettings = std::make_unique<TProgramSettings>(dir_.path());
  }
  void TearDown() override {
    ProgramSettings.reset();
    PolicySettings.reset();
    workstationSettings.reset();
    Localize().Reset();
  }
  // Replaces the policy and opens it again.
  void policy(const std::string& text) {
    writeFile(dir_ / "Policy.dyn", text);
    OpenPolicySettings("Policy.dyn", dir_.path());
  }
  std::filesystem::path data(const std::string& name) const { return dir_ / "Database" / name; }
  std::filesystem::path root(const std::string& name) const { return dir_ / name; }

  TempDir dir_;
  RecordingDialogs boxes_;
};

}  // namespace ks::test
