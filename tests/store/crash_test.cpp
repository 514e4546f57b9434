#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "store/user.h"
#include "text/numbers.h"
#include "userfolders.h"

namespace ks {
namespace {

namespace fs = std::filesystem;

using KilledWriter = test::UserFolders;

constexpr int kKeys = 16;

// Generations alternate between a large and a small file, so that a mix of two would show.
std::string valueOf(int generation) {
  return std::string(generation % 2 == 0 ? 65536 : 8, static_cast<char>('a' + generation % 26));
}

void fill(TUser& user, int generation) {
  user.WriteInteger("Generation", generation);
  for (int i = 0; i < kKeys; ++i) user.WriteString("K" + intToStr(i), valueOf(generation));
}

// The generation the file holds whole, or -1.
int wholeGeneration(const fs::path& file) {
  TDynamicSettings s;
  if (s.Open(file.string(), omReadShared) != 1 || s.Load() != 1) return -1;
  const int generation = s.ReadInteger("Generation");
  for (int i = 0; i < kKeys; ++i) {
    if (s.ReadString("K" + intToStr(i)) != valueOf(generation)) return -1;
  }
  return generation;
}

TEST_F(KilledWriter, LeavesTheOldOrTheNewContentWhole) {
  {
    auto user = NewUser("Ann");
    fill(*user, 0);
    ASSERT_EQ(SaveUser(*user), 1);
  }
  // A finished save leaves nothing beside the learner's files.
  for (const auto& entry : fs::directory_iterator(dir_ / "Database"))
    EXPECT_EQ(entry.path().filename().string().find("journal"), std::string::npos);

  std::mt19937 random(7);
  int last = 0;
  for (int round = 0; round < 30; ++round) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(ready[0]);
      try {
        auto user = OpenUser("Ann", -1, ulWrite, false);
        int generation = user->ReadInteger("Generation");
        (void)!write(ready[1], "x", 1);
        for (;;) {
          fill(*user, ++generation);
          SaveUser(*user);
        }
      } catch (...) {
      }
      _exit(1);
    }
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(1000, 40000)(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    const int generation = wholeGeneration(data("Ann.usr"));
    ASSERT_GE(generation, last) << "round " << round;
    last = generation;
    // The learner opens again for writing, statistics included.
    EXPECT_NO_THROW(OpenUser("Ann", -1, ulWrite, false));
    EXPECT_EQ(wholeGeneration(data("Ann.usr")), generation);
  }
}

}  // namespace
}  // namespace ks
