// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/OpenFileLimit.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quelvo {
namespace {

// In a child process with a soft limit of 64 (the test's own limits stay):
// the soft limit becomes the hard one, and the result says both.
TEST(OpenFileLimit, TheSoftLimitIsRaisedToTheHardLimit) {
  rlimit own{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &own), 0);
  if (own.rlim_max != RLIM_INFINITY && own.rlim_max <= 64) GTEST_SKIP() << "hard limit too low to lower";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit low = own;
    low.rlim_cur = 64;
    if (setrlimit(RLIMIT_NOFILE, &low) != 0) _exit(10);
    const OpenFileLimit limit = RaiseOpenFileLimit();
    rlimit now{};
    getrlimit(RLIMIT_NOFILE, &now);
    if (!limit.raised || limit.before != 64) _exit(11);
    if (now.rlim_cur != own.rlim_max) _exit(12);
    const OpenFileLimit again = RaiseOpenFileLimit();  // nothing left to raise
    _exit(!again.raised && again.before == again.after ? 0 : 13);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(OpenFileLimit, NotesSayARaiseAndALimitTooLowForTheMachines) {
  struct Case {
    OpenFileLimit limit;
    size_t machines;
    std::vector<std::string> notes;
  };
  const Case cases[] = {
      {{1024, 524288, 524288, true}, 512, {"open files: limit raised from 1024 to 524288"}},
      {{1024, -1, -1, true}, 512, {"open files: limit raised from 1024 to unlimited"}},
      {{1024, 1024, 1024, false},
       512,
       {"open files: at most 1024, but 512 machines may need 2304 (raise LimitNOFILE of the service)"}},
      {{256, 1024, 1024, true},
       512,
       {"open files: limit raised from 256 to 1024",
        "open files: at most 1024, but 512 machines may need 2304 (raise LimitNOFILE of the service)"}},
      {{1024, 1024, 1024, false}, 32, {}},
      {{-1, -1, -1, false}, 4096, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OpenFileLimitNotes(c.limit, c.machines), c.notes) << c.limit.before << " " << c.machines;
  }
}

}  // namespace
}  // namespace quelvo
