// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli restart-plan and the restart part of send --from.
#include "cli/CliRestart.h"

#include <cmath>
#include <cstdlib>
#include <ostream>

#include "cli/CliExit.h"
#include "cli/CliUsage.h"
#include "core/document/DocumentFile.h"
#include "core/document/FileTexts.h"
#include "core/toolpath/RestartPlan.h"

namespace quelvo::cli {
namespace {

const CliCommand& Command() {
  for (const CliCommand& c : CliCommands())
    if (std::string(c.name) == "restart-plan") return c;
  return CliCommands()[0];
}

// The restart point, the interpreter's switches and the clearance; false with
// a usage message.
bool ReadRestartArgs(const ParsedArgs& args, const std::string& pointText, RestartPoint* point,
                     RestartOptions* options, std::string* error) {
  if (!ParseRestartPoint(pointText, *point)) {
    *error = "再開位置 " + pointText + " が読めません (行番号 4800、L4800、またはシーケンス番号 N4800)";
    return false;
  }
  options->interpret.lathe = args.Has("lathe");
  options->interpret.wholeUnits = args.Has("whole-units");
  options->interpret.skipDeletedBlocks = args.Has("skip-deleted");
  if (args.Has("clearance")) {
    const std::string value = args.Value("clearance");
    char* end = nullptr;
    options->clearance = std::strtod(value.c_str(), &end);
    if (value.empty() || end == nullptr || *end != '\0' || !std::isfinite(options->clearance)) {
      *error = "--clearance の値 " + value + " が数値ではありません";
      return false;
    }
    options->hasClearance = true;
  }
  return true;
}

// Plans the restart of `text`; writes the notes (and the reason of a refusal)
// on `err`. False when refused.
bool Plan(const std::string& path, const std::string& text, const RestartPoint& point, const RestartOptions& options,
          RestartPlan* plan, std::ostream& err) {
  const int32_t line = RestartLineOf(text, point);
  if (line == 0) {
    err << "quelvo-cli: " << path << ": シーケンス番号 N" << point.number << " のブロックがありません\n";
    return false;
  }
  *plan = PlanRestart(text, line, options);
  if (!plan->error.empty()) {
    err << "quelvo-cli: " << path << ": " << plan->error;
    if (plan->errorOffer != 0) err << " (" << plan->errorOffer << " 行目から再開できます)";
    err << '\n';
    return false;
  }
  for (const RestartNote& note : plan->notes) {
    err << path << ':' << note.line << ": " << (note.refusal ? "再開できません: " : "警告: ") << note.text;
    if (note.offer != 0) err << " (" << note.offer << " 行目から再開できます)";
    err << '\n';
  }
  return !plan->Refused();
}

}  // namespace

const std::vector<OptionRule>& RestartOptionRules() {
  static const std::vector<OptionRule> rules{
      {"from", true}, {"clearance", true}, {"lathe", false}, {"whole-units", false}, {"skip-deleted", false}};
  return rules;
}

bool ApplyRestart(const ParsedArgs& args, const std::string& path, std::string* text, std::string* logLine,
                  CliIo& io, int* status) {
  RestartPoint point;
  RestartOptions options;
  std::string error;
  if (!ReadRestartArgs(args, args.Value("from"), &point, &options, &error)) {
    io.err << "quelvo-cli send: " << error << '\n';
    *status = kCliUsage;
    return false;
  }
  RestartPlan plan;
  if (!Plan(path, *text, point, options, &plan, io.err)) {
    io.err << "quelvo-cli: 途中からの送信を中止しました。何も送信していません。\n";
    *status = kCliStopped;
    return false;
  }
  *logLine = RestartLogLine(plan, *text);
  *text = RestartProgramText(plan, *text);
  return true;
}

int RunRestartPlan(const std::vector<std::string>& args, CliIo& io) {
  const ParsedArgs parsed = ParseArgs(args, RestartOptionRules());
  int status = kCliUsage;
  if (HandleHelpAndUsage(parsed, Command(), 2, io, &status)) return status;
  if (parsed.Has("from")) {
    io.err << "quelvo-cli restart-plan: 再開位置は2番目の引数で指定します\n";
    return kCliUsage;
  }
  RestartPoint point;
  RestartOptions options;
  std::string error;
  if (!ReadRestartArgs(parsed, parsed.positional[1], &point, &options, &error)) {
    io.err << "quelvo-cli restart-plan: " << error << '\n';
    return kCliUsage;
  }
  const std::string& path = parsed.positional[0];
  const DocumentLoad load = ReadDocumentFile(path);
  if (!load.opened) {
    io.err << "quelvo-cli: " << path << kCannotRead << load.error << '\n';
    return kCliFileFailed;
  }
  RestartPlan plan;
  if (!Plan(path, load.text, point, options, &plan, io.err)) return kCliStopped;
  for (const std::string& line : plan.preamble) io.out << line << '\n';
  return kCliDone;
}

}  // namespace quelvo::cli
