// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line rules on arbitrary arguments (one per input line), with
// every overwrite question answered from the input: reading must end, each
// question must move on past its argument, and at most one automatic transfer
// may be requested.
#include <sstream>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "core/commandline/CommandLineRules.h"

using namespace quelvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const int answers = in.Between(0, 255);  // bit n answers question n
  std::vector<std::string> args;
  std::istringstream lines(in.Rest());
  for (std::string line; std::getline(lines, line) && args.size() < 32;) args.push_back(line);
  // Which files exist follows from the name, so one input always runs the same way.
  const FileExistsFn exists = [](const std::string& path) { return path.size() % 3 != 0; };

  CommandLineState state;
  state.dirPath = "/home/user/nc/";
  int requests = 0;
  for (int question = 0;; ++question) {
    const size_t before = state.next;
    const CommandLineStep step = ReadCommandLine(args, state, "/home/user/quelvo.tmp", exists);
    state = step.state;
    for (const CommandLineAction& action : step.actions) {
      if (action.kind == CommandLineActionKind::RequestSend ||
          action.kind == CommandLineActionKind::RequestReceive) {
        ++requests;
      }
    }
    fuzz::Check(state.next <= args.size(), "reading stops at the last argument");
    if (!step.waitsForAnswer) break;
    fuzz::Check(state.next > before, "reading moves on past an overwrite question");
    AnswerOverwrite(state, (answers >> (question % 8)) & 1);
    if (state.receiveRequested) ++requests;
  }
  fuzz::Check(requests <= 1, "at most one automatic transfer is requested");
  return 0;
}
