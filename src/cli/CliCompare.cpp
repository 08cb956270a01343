// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli compare: two program files compared block by block (the core's
// compare), as a unified-diff-like listing or JSON. Exit 0 same, 1 different,
// 2 trouble (usage, a file that cannot be read).
#include <ostream>

#include "cli/CliCompare.h"
#include "cli/CliExit.h"
#include "cli/CliOptions.h"
#include "cli/CliUsage.h"
#include "core/compare/CompareReport.h"
#include "core/document/TextLines.h"

namespace quelvo::cli {

namespace {

constexpr int kCompareSame = 0, kCompareDifferent = 1, kCompareTrouble = 2;

const CliCommand& CompareCommand() {
  for (const CliCommand& c : CliCommands())
    if (std::string(c.name) == "compare") return c;
  return CliCommands().front();
}

CompareOptions OptionsFrom(const ParsedArgs& args) {
  CompareOptions o;
  o.ignoreBlanks = !args.Has("keep-blanks");
  o.ignoreSequenceNumbers = args.Has("ignore-n");
  o.numbersByValue = args.Has("by-value") || args.Has("least-increment");
  o.pointlessInIncrement = args.Has("least-increment");
  o.ignoreComments = args.Has("ignore-comments");
  o.ignoreFrame = args.Has("ignore-frame");
  return o;
}

}  // namespace

int CompareTexts(const std::string& nameA, const std::string& textA, const std::string& nameB,
                 const std::string& textB, const ParsedArgs& args, CliIo& io) {
  const CompareOptions options = OptionsFrom(args);
  const ComparedProgram a{nameA, SplitTextLines(textA)}, b{nameB, SplitTextLines(textB)};
  const CompareResult result = CompareLines(a.lines, b.lines, options);
  if (args.Has("json")) WriteCompareJson(a, b, result, options, io.out);
  else WriteCompareText(a, b, result, io.out);
  return result.Same() ? kCompareSame : kCompareDifferent;
}

const std::vector<OptionRule>& CompareOptionRules() {
  static const std::vector<OptionRule> rules{
      {"ignore-n", false},        {"by-value", false},     {"least-increment", false}, {"ignore-comments", false},
      {"ignore-frame", false},    {"keep-blanks", false},  {"json", false},            {"revision", true},
      {"config", true},
  };
  return rules;
}

int RunCompare(const std::vector<std::string>& words, CliIo& io) {
  const ParsedArgs args = ParseArgs(words, CompareOptionRules());
  int status = 0;
  if (args.Has("revision") && !args.help) return RunCompareRevision(args, io);
  if (HandleHelpAndUsage(args, CompareCommand(), 2, io, &status)) return status;
  std::string text[2];
  for (int k = 0; k < 2; ++k) {
    std::string error;
    if (!ReadProgramFile(args.positional[k], text[k], error)) {
      io.err << "quelvo-cli compare: " << args.positional[k] << ": " << error << '\n';
      return kCompareTrouble;
    }
  }
  return CompareTexts(args.positional[0], text[0], args.positional[1], text[1], args, io);
}

}  // namespace quelvo::cli
