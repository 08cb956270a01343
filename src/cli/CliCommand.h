// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of quelvo-cli. Each command is one entry of the table in
// CliCommands.cpp and one source file with its Run function: adding a command
// is a row there and a file here.
#include <iosfwd>
#include <string>
#include <vector>

namespace quelvo::cli {

// Where a command writes: results on `out` (stdout), progress and messages on
// `err` (stderr).
struct CliIo {
  std::ostream& out;
  std::ostream& err;
};

struct CliCommand {
  const char* name;
  const char* synopsis;  // the usage line after "quelvo-cli "
  const char* summary;   // one line for the command list
  const char* help;      // what --help prints after the usage line
  // The arguments after the command name; returns the exit status.
  int (*run)(const std::vector<std::string>& args, CliIo& io);
};

const std::vector<CliCommand>& CliCommands();


// The whole program: `args` without the program name.
int RunCli(const std::vector<std::string>& args, CliIo io);

// The commands' Run functions (one file each).
int RunSend(const std::vector<std::string>& args, CliIo& io);
int RunReceive(const std::vector<std::string>& args, CliIo& io);
int RunCheck(const std::vector<std::string>& args, CliIo& io);
int RunPorts(const std::vector<std::string>& args, CliIo& io);
int RunSettings(const std::vector<std::string>& args, CliIo& io);
int RunRestartPlan(const std::vector<std::string>& args, CliIo& io);  // CliRestart.cpp
int RunDetect(const std::vector<std::string>& args, CliIo& io);
int RunMonitor(const std::vector<std::string>& args, CliIo& io);
int RunTestLine(const std::vector<std::string>& args, CliIo& io);
// CliCoreCommands.cpp
int RunToolpath(const std::vector<std::string>& args, CliIo& io);
int RunStatus(const std::vector<std::string>& args, CliIo& io);
int RunQueue(const std::vector<std::string>& args, CliIo& io);
// CliCompare.cpp
int RunCompare(const std::vector<std::string>& args, CliIo& io);
// CliHistory.cpp: the library's revisions of a program
int RunHistory(const std::vector<std::string>& args, CliIo& io);

}  // namespace quelvo::cli
