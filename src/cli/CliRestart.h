// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Restarting a program at a block from the terminal: "restart-plan FILE N"
// prints the preamble a restart would send (and its warnings), and
// "send FILE --from N" sends the preamble and the rest of the program.
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliOptions.h"

namespace quelvo::cli {

// --from N, --clearance Z, --lathe, --whole-units, --skip-deleted.
const std::vector<OptionRule>& RestartOptionRules();

// With --from: replaces `text` (the file's text) by the restart program and
// gives the log line that names the restart line. Writes the refusal, the
// warnings and the reason on `io.err`; false when nothing is to be sent, with
// the exit status in *status.
bool ApplyRestart(const ParsedArgs& args, const std::string& path, std::string* text, std::string* logLine,
                  CliIo& io, int* status);

}  // namespace quelvo::cli
