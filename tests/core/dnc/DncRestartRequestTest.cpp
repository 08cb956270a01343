// SPDX-License-Identifier: GPL-3.0-or-later
// Restart requests from a control: the program and the block or line, in a
// short program only; anything else is no restart request (a plain request
// stays one for DncRequest).
#include <gtest/gtest.h>

#include "core/dnc/DncRestartRequest.h"

namespace quelvo {
namespace {

TEST(DncRestartRequestTest, ProgramAndBlockOrLineFromAShortProgram) {
  struct Case {
    const char* text;
    bool request;
    const char* program;
    bool blockNumber;
    long number;
  } cases[] = {
      {"%\r\nO9001(REQ O1234 N4800)\r\n%\r\n", true, "O1234", true, 4800},
      {"O9001\r\n( REQ  O1234  L4800 )\r\n", true, "O1234", false, 4800},
      {"(REQ PART-7.NC N10)\n", true, "PART-7.NC", true, 10},
      {"O9001(REQ O1234)\r\n", false, "", false, 0},           // a plain request
      {"O9001(REQ O1234 4800)\r\n", false, "", false, 0},      // no N or L
      {"O9001(REQ O1234 N48X)\r\n", false, "", false, 0},
      {"O9001(REQ O1234 N4800\r\n", false, "", false, 0},      // left open
      {"O9001(REQO1234 N4800)\r\n", false, "", false, 0},
      {"O9001(REQ O1234 N4800 N10)\r\n", false, "", false, 0},
      {"O9001(NOTE)(REQ O1 L5)\r\n", true, "O1", false, 5},
      // A real program that mentions a request in a comment is no request.
      {"O1000(REQ O1 N5)\r\nG00X0\r\nG01X1\r\nG01X2\r\nM30\r\n", false, "", false, 0},
  };
  for (const Case& c : cases) {
    DncRestartRequest request;
    ASSERT_EQ(RestartRequested(c.text, &request), c.request) << c.text;
    if (!c.request) continue;
    EXPECT_EQ(request.program, c.program) << c.text;
    EXPECT_EQ(request.point.blockNumber, c.blockNumber) << c.text;
    EXPECT_EQ(request.point.number, c.number) << c.text;
  }
}

}  // namespace
}  // namespace quelvo
