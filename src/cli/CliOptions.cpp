// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliOptions.h"

#include <cerrno>
#include <cstdlib>

namespace quelvo::cli {

std::string ParsedArgs::Value(const std::string& name) const {
  const auto it = options.find(name);
  return it == options.end() ? std::string() : it->second;
}

bool ParseInteger(const std::string& text, int* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || n < -1000000 || n > 1000000) return false;
  *value = static_cast<int>(n);
  return true;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<OptionRule>& rules) {
  ParsedArgs parsed;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      if (!optionsEnded && arg.size() > 1 && arg[0] == '-' && arg != "-") {
        if (arg == "-h") {
          parsed.help = true;
          continue;
        }
        parsed.error = "不明なオプション " + arg;
        return parsed;
      }
      parsed.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg.substr(2);
    std::string value;
    const size_t equals = name.find('=');
    const bool inlineValue = equals != std::string::npos;
    if (inlineValue) {
      value = name.substr(equals + 1);
      name.erase(equals);
    }
    if (name == "help") {
      parsed.help = true;
      continue;
    }
    const OptionRule* rule = nullptr;
    for (const OptionRule& s : rules) {
      if (name == s.name) rule = &s;
    }
    if (rule == nullptr) {
      parsed.error = "不明なオプション --" + name;
      return parsed;
    }
    if (rule->takesValue && !inlineValue) {
      if (i + 1 >= args.size()) {
        parsed.error = "--" + name + " には値が必要です";
        return parsed;
      }
      value = args[++i];
    } else if (!rule->takesValue && inlineValue) {
      parsed.error = "--" + name + " は値を取りません";
      return parsed;
    }
    parsed.options[name] = value;
  }
  return parsed;
}

}  // namespace quelvo::cli
