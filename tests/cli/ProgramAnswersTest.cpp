// SPDX-License-Identifier: GPL-3.0-or-later
// What each built program answers to --version and --help, run as a user runs
// it: without a display for the window program, with its installed name for
// the simulated control.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CliProcess.h"
#include "support/TempFolder.h"

namespace quelvo::cli::test {
namespace {

struct AnswerCase {
  const char* name;
  const char* program;
  std::vector<std::string> args;
  int status;
  const char* out;  // the start of stdout ("" for none expected)
  const char* err;  // part of stderr ("" for any)
};

TEST(ProgramAnswers, VersionAndHelpOfEveryProgram) {
  quelvo::test::TempFolder folder;
  // No display of any kind: the window program must not need one to say its version.
  const std::vector<std::pair<std::string, std::string>> noDisplay = {
      {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", "xcb"}, {"XDG_RUNTIME_DIR", folder.Path()}};
  const std::vector<AnswerCase> cases = {
      {"window program without a display", QUELVO_PATH, {"--version"}, 0, "Quelvo Ver1.47\n", ""},
      {"terminal program", QUELVO_CLI_PATH, {"--version"}, 0, "quelvo-cli Ver1.47\n", ""},
      {"service version", QUELVO_DNC_PATH, {"--version"}, 0, "quelvo-dnc Ver1.47\n", ""},
      {"service help in Japanese", QUELVO_DNC_PATH, {"--help"}, 0, "使い方: quelvo-dnc [--config FILE] [--check]", ""},
      {"service with an unknown argument", QUELVO_DNC_PATH, {"--verbose"}, 2, "", "不明な引数 --verbose"},
      {"simulated control under its installed name", QUELVO_NCSIM_PATH, {"--help"}, 0,
       "usage: quelvo-ncsim --link PATH", ""},
      {"simulated control's usage error", QUELVO_NCSIM_PATH, {"--nonsense"}, 2, "",
       "usage: quelvo-ncsim --link PATH"},
  };
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string base = folder.File("run");
    ChildProcess child(c.program, c.args, noDisplay, base);
    EXPECT_EQ(child.WaitExit(30000), c.status) << ReadFile(base + ".err");
    const std::string out = ReadFile(base + ".out"), err = ReadFile(base + ".err");
    EXPECT_EQ(out.compare(0, std::string(c.out).size(), c.out), 0) << out;
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
  }
}

}  // namespace
}  // namespace quelvo::cli::test
