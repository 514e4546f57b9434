#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

#include "platform/instancelock.h"
#include "support/tempdir.h"

namespace ks {
namespace {

// Points XDG_RUNTIME_DIR at a fresh folder for the test's lifetime.
class RuntimeDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    if (old) saved_ = old;
    hadOld_ = old != nullptr;
    ::setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
  }
  void TearDown() override {
    if (hadOld_) {
      ::setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
  }
  test::TempDir dir_;
  std::string saved_;
  bool hadOld_ = false;
};

TEST_F(RuntimeDirTest, OneHolderAtATime) {
  EXPECT_FALSE(InstanceLock::isHeld("QS2004Mutex"));
  InstanceLock first("QS2004Mutex");
  ASSERT_TRUE(first.acquire());
  EXPECT_TRUE(InstanceLock::isHeld("QS2004Mutex"));
  InstanceLock second("QS2004Mutex");
  EXPECT_FALSE(second.acquire());
  InstanceLock other("QSSidewatchMutex");
  EXPECT_TRUE(other.acquire());  // names are independent
  first.release();
  EXPECT_FALSE(InstanceLock::isHeld("QS2004Mutex"));
  EXPECT_TRUE(second.acquire());
}

TEST_F(RuntimeDirTest, RuntimeFolderIsPrivate) {
  auto folder = runtimeFolder();
  ASSERT_EQ(folder, dir_ / "keyscholar");
  struct stat sb {};
  ASSERT_EQ(::stat(folder.c_str(), &sb), 0);
  EXPECT_EQ(sb.st_mode & 0777, 0700u);
  // A folder others can enter is refused rather than trusted.
  ::chmod(folder.c_str(), 0755);
  EXPECT_TRUE(runtimeFolder().empty());
  InstanceLock lock("QS2004Mutex");
  EXPECT_FALSE(lock.acquire());
}

}  // namespace
}  // namespace ks
