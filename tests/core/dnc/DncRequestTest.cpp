// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "core/dnc/DncConfig.h"
#include "core/dnc/DncRequest.h"

namespace quelvo {
namespace {

TEST(DncRequest, RecognisesRequestProgramsOnly) {
  const struct {
    std::string text;
    std::string rule;
    std::string name;
  } cases[] = {
      {"%\r\nO9001(REQ O1234)\r\n%\r\n", kDefaultRequestRule, "O1234"},
      {"O9001\r\n(REQ part-2.nc)\r\n", kDefaultRequestRule, "part-2.nc"},
      {"O9001 ( REQ  O77 )\r\n", kDefaultRequestRule, "O77"},
      {"(REQ ../../etc/passwd)\n", kDefaultRequestRule, "../../etc/passwd"},  // refused later, by the library
      {"O1000\r\nG00X0\r\nM30\r\n", kDefaultRequestRule, ""},
      {"(REQ)\r\n", kDefaultRequestRule, ""},
      // A real program that mentions a request in a comment is kept as a program.
      {"O1000(REQ O1)\r\nG00X0\r\nG01X1\r\nG01X2\r\nM30\r\n", kDefaultRequestRule, ""},
      {"O9\r\n(ASK O5)\r\n", R"(\(ASK (O[0-9]+)\))", "O5"},
      {"O9\r\n(REQ O5)\r\n", R"(\(ASK (O[0-9]+)\))", ""},
      // No request line is longer than kRequestLineMax: longer lines are not looked at.
      {"O9001(REQ " + std::string(kRequestLineMax - 11, 'A') + ")  \r\n", kDefaultRequestRule,
       std::string(kRequestLineMax - 11, 'A')},
      {"O9001(REQ " + std::string(kRequestLineMax - 10, 'A') + ")\r\n", kDefaultRequestRule, ""},
      {"O9001(REQ " + std::string(60000, 'A') + ")\r\n(REQ O7)\r\n", kDefaultRequestRule, "O7"},
      // A rule the configuration refuses recognises nothing.
      {"(REQ O5)\r\n", "(REQ +(O5))" + std::string(kRequestRuleMax, ' '), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RequestedProgram(c.text, c.rule), c.name) << c.text;
}

}  // namespace
}  // namespace quelvo
