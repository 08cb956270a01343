// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Programs a control punches to ask for a program: by default a short program
// whose comment is "(REQ O1234)" or "(REQ name.nc)". The rule is a regular
// expression searched in each line; its first group is the requested name.
//
// The expression engine backtracks by recursion, one level per character it
// takes, so neither the line it is run on nor the rule may be long: a line
// from the control longer than kRequestLineMax is never looked at (no request
// line is that long), and a rule longer than kRequestRuleMax is refused when
// the configuration is read.
#include <cstddef>
#include <string>

namespace quelvo {

// Lines a request program may have at most (blank lines and "%" lines not
// counted): a real program that merely mentions a request in a comment is
// stored as any other, never swallowed.
inline constexpr int kRequestMaxLines = 4;
// The longest line (after trailing blanks) that may be a request line.
inline constexpr size_t kRequestLineMax = 256;
// The longest request rule the configuration accepts.
inline constexpr size_t kRequestRuleMax = 512;

// Why `rule` cannot be a request rule ("" when it can): too long, no valid
// expression, or no group for the requested name.
std::string RequestRuleProblem(const std::string& rule);

// The name a received program asks for, or "" when it is no request. `text`
// is the received file's bytes; `rule` an expression RequestRuleProblem
// accepts (any other rule recognises no request).
std::string RequestedProgram(const std::string& text, const std::string& rule);

}  // namespace quelvo
