// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli: the transfers and checks of Quelvo from a terminal.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommand.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quelvo::cli::RunCli(args, {std::cout, std::cerr});
}
