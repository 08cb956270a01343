#pragma once
// Programs a control punches to ask for a program: by default a short program
// whose comment is "(REQ O1234)" or "(REQ name.nc)". The rule is a regular
// expression searched in each line; its first group is the requested name.
#include <string>

namespace quelvo {

// Lines a request program may have at most (blank lines and "%" lines not
// counted): a real program that merely mentions a request in a comment is
// stored as any other, never swallowed.
inline constexpr int kRequestMaxLines = 4;

// The name a received program asks for, or "" when it is no request. `text`
// is the received file's bytes; `rule` a valid expression with one group.
std::string RequestedProgram(const std::string& text, const std::string& rule);

}  // namespace quelvo
