// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "core/common/InstanceLock.h"
#include "core/settings/StartupTitle.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (had_) setenv(name_.c_str(), old_.c_str(), 1);
    else unsetenv(name_.c_str());
  }

 private:
  std::string name_, old_;
  bool had_ = false;
};

TEST(InstanceLock, NamedAfterTheProgramFileInTheRuntimeFolder) {
  ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/4242");
  EXPECT_EQ(InstanceLockPath("quelvo"), "/run/user/4242/quelvo.lock");
  EXPECT_NE(InstanceLockPath("quelvo"), InstanceLockPath("Quelvo"));  // a renamed copy runs alone
}

TEST(InstanceLock, FallsBackToAPrivateTmpFolder) {
  for (const char* value : {static_cast<const char*>(nullptr), ""}) {
    ScopedEnv runtime("XDG_RUNTIME_DIR", value);
    const std::string folder = "/tmp/quelvo-" + std::to_string(getuid());
    EXPECT_EQ(InstanceLockPath("quelvo"), folder + "/quelvo.lock");
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
  }
}

// The /tmp fallback is shared by every user: only a folder of this user's own,
// closed to everyone else, may hold the lock. Anything another user could have
// placed there first is refused with the reason.
TEST(InstanceLock, PrivateFolderOnlyWhenOwnedAndClosedToOthers) {
  test::TempFolder dir;
  const std::string fresh = dir.File("fresh");
  EXPECT_EQ(PrivateFolderProblem(fresh), "");
  struct stat st {};
  ASSERT_EQ(lstat(fresh.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(PrivateFolderProblem(fresh), "") << "an existing private folder is used again";

  ASSERT_EQ(mkdir(dir.File("open").c_str(), 0700), 0);
  ASSERT_EQ(chmod(dir.File("open").c_str(), 0755), 0);
  ASSERT_EQ(symlink(fresh.c_str(), dir.File("link").c_str()), 0);
  { std::ofstream(dir.File("file")) << "x"; }
  ASSERT_EQ(mkdir(dir.File("foreign").c_str(), 0700), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(dir.File("foreign").c_str(), 54321, 54321), 0);
  }
  const struct {
    const char* name;
    const char* reason;
  } refused[] = {
      {"open", "他のユーザーもアクセスできます"},
      {"link", "フォルダではありません"},
      {"file", "フォルダではありません"},
      {"foreign", "他のユーザー（uid 54321）の所有です"},
  };
  for (const auto& row : refused) {
    if (std::string(row.name) == "foreign" && !root) continue;  // only root can give a folder away
    const std::string problem = PrivateFolderProblem(dir.File(row.name));
    EXPECT_NE(problem.find(dir.File(row.name)), std::string::npos) << problem;
    EXPECT_NE(problem.find(row.reason), std::string::npos) << problem;
  }
}

TEST(StartupTitle, CarriesTheSystemLabelOnlyWhenTheSystemIsKnown) {
  EXPECT_EQ(StartupTitle(" Ver1.47", DetectOs()), "Quelvo Ver1.47 (Win98/Me/2000/XP)");
  EXPECT_EQ(StartupTitle(" Ver1.47", OsInfo{"OS=Windows XP ", 40}),
            "Quelvo Ver1.47 (Win98/Me/2000/XP)          OS=Windows XP ");
}

}  // namespace
}  // namespace quelvo
