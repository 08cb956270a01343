// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arguments of one command: positional words and "--name" / "--name VALUE"
// / "--name=VALUE" options from a list the command allows. "--" ends the
// options. Every command also takes --help.
#include <map>
#include <string>
#include <vector>

namespace quelvo::cli {

struct OptionRule {
  const char* name;  // without the leading "--"
  bool takesValue;
};

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // name -> value ("" for a flag)
  bool help = false;
  std::string error;  // the usage error; empty when the arguments read

  bool Has(const std::string& name) const { return options.count(name) != 0; }
  std::string Value(const std::string& name) const;
};

ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<OptionRule>& rules);

// The whole text as a decimal integer; false for anything else.
bool ParseInteger(const std::string& text, int* value);

}  // namespace quelvo::cli
