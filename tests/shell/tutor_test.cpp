#include <gtest/gtest.h>

#include "shell/loginview.h"
#include "shell/startoptions.h"

namespace ks {
namespace {

const std::string kLatinCapitals = "abcdefghijklmnopqrstuvwxyz\xE4\xF6\xFC";

TEST(LoginName, IsTidiedAndCapitalised) {
  EXPECT_EQ(NormaliseLoginName("  ann   lee  ", kLatinCapitals), "Ann Lee");
  EXPECT_EQ(NormaliseLoginName("ANN LEE", kLatinCapitals), "Ann Lee");
  EXPECT_EQ(NormaliseLoginName("McDonald", kLatinCapitals), "McDonald");
  EXPECT_EQ(NormaliseLoginName("jean-paul sartre", kLatinCapitals), "Jean-Paul Sartre");
  EXPECT_EQ(NormaliseLoginName("\xF6zil", kLatinCapitals), "\xD6zil");
  EXPECT_EQ(NormaliseLoginName("   ", kLatinCapitals), "");
  EXPECT_EQ(NormaliseLoginName(std::string(80, 'a'), kLatinCapitals).size(), 50u);
  // Letters the language does not list stay as typed.
  EXPECT_EQ(NormaliseLoginName("ann", "xyz"), "ann");
}

TEST(StartOptions, OnlyTheFirstArgumentIsASwitch) {
  EXPECT_TRUE(parseStartOptions({"/sidewatch"}).sidewatch);
  EXPECT_TRUE(parseStartOptions({"/TypeTest"}).typeTest);
  EXPECT_FALSE(parseStartOptions({"/TYPETEST", "x"}).typeTest);
  StartOptions o = parseStartOptions({"/NOMUTEX", "LAB-PC-3"});
  EXPECT_TRUE(o.noMutex);
  EXPECT_EQ(o.workstationName, "LAB-PC-3");
  EXPECT_FALSE(parseStartOptions({"/NOMUTEX"}).noMutex);  // the name is required
  EXPECT_FALSE(parseStartOptions({"--help"}).uninstall);
}

}  // namespace
}  // namespace ks
