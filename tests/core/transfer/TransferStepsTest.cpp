// SPDX-License-Identifier: GPL-3.0-or-later
// The one way a transfer ends early: which of the engine's paths runs for
// what leaves its steps, and that nothing escapes.
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "core/transfer/TransferSteps.h"

namespace quelvo {
namespace {

struct StepsCase {
  const char* name;
  void (*steps)();
  bool unexpectedThrows;
  const char* expected;  // the paths run, in order
};

class TransferStepsTest : public ::testing::TestWithParam<StepsCase> {};

TEST_P(TransferStepsTest, RunsThePathForWhatLeftTheSteps) {
  const StepsCase& c = GetParam();
  std::string ran;
  RunTransferSteps(
      [&] {
        ran += "steps ";
        c.steps();
      },
      [&] {
        ran += "unexpected ";
        if (c.unexpectedThrows) throw std::runtime_error("again");
      },
      [&] {
        ran += "last-resort ";
        throw 0;  // even this is swallowed
      });
  EXPECT_EQ(ran, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, TransferStepsTest,
    ::testing::Values(StepsCase{"Completed", [] {}, false, "steps "},
                      StepsCase{"Stopped", [] { StopTransfer(); }, false, "steps "},
                      StepsCase{"StandardException", [] { throw std::runtime_error("x"); }, false,
                                "steps unexpected "},
                      StepsCase{"OtherException", [] { throw 42; }, false, "steps unexpected "},
                      StepsCase{"UnexpectedPathFails", [] { throw 42; }, true,
                                "steps unexpected last-resort "}),
    [](const ::testing::TestParamInfo<StepsCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quelvo
