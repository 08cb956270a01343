#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/InstanceLock.h"
#include "app/StartupTitle.h"

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

TEST(StartupTitle, CarriesTheSystemLabelOnlyWhenTheSystemIsKnown) {
  EXPECT_EQ(StartupTitle(" Ver1.47", DetectOs()), "Quelvo Ver1.47 (Win98/Me/2000/XP)");
  EXPECT_EQ(StartupTitle(" Ver1.47", OsInfo{"OS=Windows XP ", 40}),
            "Quelvo Ver1.47 (Win98/Me/2000/XP)          OS=Windows XP ");
}

}  // namespace
}  // namespace quelvo
