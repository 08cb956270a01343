// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What quelvo-cli compare and its --revision form share.
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliOptions.h"

namespace quelvo::cli {

const std::vector<OptionRule>& CompareOptionRules();

// Compares two texts under the options of `args` and writes the report; 0 same, 1 different.
int CompareTexts(const std::string& nameA, const std::string& textA, const std::string& nameB,
                 const std::string& textB, const ParsedArgs& args, CliIo& io);

// compare --revision PROGRAM@MACHINE FILE: the revision last sent to MACHINE
// (from the shop service's library) against FILE.
int RunCompareRevision(const ParsedArgs& args, CliIo& io);

}  // namespace quelvo::cli
