// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules that turn Quelvo's command-line arguments into actions.
//
// Each argument is examined on its own, in order; markers are found anywhere in
// it, letters compared in upper case. The first rule that applies is used:
//   "S01=" .. "S10="  add the named file to the send collection
//   "SE=Y"            load the collection as the document and send it
//   plain path        open it as the document (only the first one); a plain path
//                     contains "/" and "." and carries no file marker
//   "S="              open the named file as the document and send it
//   "R="              receive into the named file (asking before overwriting one)
//   otherwise         "END" in an argument of at most four characters: close after
//                     the transfer; "N=": select a setting by its menu place
// At most one automatic transfer: once a send or a receive is requested, the
// collection, "SE=Y", "S=" and "R=" rules no longer apply.
//
// A "/" or "-" right before a marker is a switch prefix and is removed with it.
// A file name without "/" is taken from the folder DirPath; loading a file makes
// its folder the new DirPath, so later bare names resolve against it.
//
// Reading stops at an overwrite question, since its answer decides whether later
// transfer arguments still apply: the window asks, passes the answer to
// AnswerOverwrite, and calls ReadCommandLine again with the returned state.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/commandline/CommandLineAction.h"

namespace quelvo {

// True when a file (not a folder) exists at the path.
using FileExistsFn = std::function<bool(const std::string& path)>;

struct CommandLineState {
  std::string dirPath;              // folder for bare file names
  std::size_t next = 0;             // index of the next argument to examine
  bool sendRequested = false;
  bool receiveRequested = false;
  bool pathArgumentTaken = false;   // a plain path was opened already
  std::string receiveTarget;        // the file an automatic receive fills
  std::string pendingOverwrite;     // file named in an unanswered overwrite question
};

struct CommandLineStep {
  std::vector<CommandLineAction> actions;
  CommandLineState state;
  bool waitsForAnswer = false;  // the last action is AskOverwrite
};

// Examines args[state.next ..] (the program name not included) until the end or
// an overwrite question.
CommandLineStep ReadCommandLine(const std::vector<std::string>& args, CommandLineState state,
                                const std::string& collectionFile, const FileExistsFn& exists);

// Yes requests the receive into the questioned file; No requests nothing.
void AnswerOverwrite(CommandLineState& state, bool yes);

// The name of a file argument: the argument without its marker (and switch
// prefix), taken from dirPath when it holds no "/".
std::string CommandLineFileName(const std::string& arg, std::size_t markerPos, std::size_t markerLength,
                                const std::string& dirPath);

// True when the arguments ask for a send or a receive (whether or not its file
// turns out to exist or the overwrite question is answered Yes) together with
// "END": an unattended run, whose exit status says whether the transfer
// completed.
bool RequestsUnattendedTransfer(const std::vector<std::string>& args);

// True when the only argument is "--version": the program prints its version and
// ends. No rule above takes that argument (it has no marker, no "/" and more than
// four characters), so the start-and-exit check cannot hide a transfer argument.
bool AsksForVersion(const std::vector<std::string>& args);

std::string NotFoundMessage(const std::string& path);
std::string OverwriteQuestion(const std::string& path);
std::string BadSettingNumberMessage(const std::string& arg);

}  // namespace quelvo
