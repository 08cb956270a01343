// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// --help and usage errors of a command.
#include "cli/CliCommand.h"
#include "cli/CliOptions.h"

namespace quelvo::cli {

// The usage and help text of a command.
void PrintCommandHelp(const CliCommand& command, std::ostream& out);

// --help prints the help (status 0); a parse error or a count of positional
// arguments other than `positionals` (-1: any) prints the usage (status 2).
// True when the command is to end with *status.
bool HandleHelpAndUsage(const ParsedArgs& args, const CliCommand& command, int positionals, CliIo& io,
                        int* status);

}  // namespace quelvo::cli
