// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliTransfer.h"

#include <unistd.h>

#include <ostream>

#include "cli/CliExit.h"
#include "cli/CliUsage.h"
#include "cli/StopSignals.h"
#include "core/port/PortError.h"
#include "core/settings/ProgramSettings.h"
#include "core/settings/SettingSlots.h"
#include "core/transfer/link/PortNames.h"
#include "core/transfer/link/SelectionSequence.h"

namespace quelvo::cli {
namespace {

ProgressStyle StyleFor(const ParsedArgs& args) {
  if (args.Has("quiet")) return ProgressStyle::kNone;
  return ::isatty(STDERR_FILENO) ? ProgressStyle::kBar : ProgressStyle::kLines;
}

}  // namespace

const std::vector<OptionRule>& TransferOptions() {
  static const std::vector<OptionRule> options{
      {"setting", true}, {"port", true}, {"yes", false}, {"quiet", false}, {"json", false}, {"timeout", true}};
  return options;
}

int MenuPlaceOf(int setNo) {
  const SettingSlot* slot = FindSettingSlot(setNo);
  return slot != nullptr ? slot->argumentNumber : setNo;
}

bool StartTransferCommand(const std::vector<std::string>& args, const CliCommand& command, CliIo& io,
                          ParsedArgs* parsed, CliSession* session, int* status,
                          const std::vector<OptionRule>& more) {
  std::vector<OptionRule> rules = TransferOptions();
  rules.insert(rules.end(), more.begin(), more.end());
  *parsed = ParseArgs(args, rules);
  int seconds = 0;
  if (parsed->Has("timeout") && (!ParseInteger(parsed->Value("timeout"), &seconds) || seconds < 1))
    parsed->error = "--timeout には 1 以上の秒数を指定してください: " + parsed->Value("timeout");
  if (HandleHelpAndUsage(*parsed, command, 1, io, status)) return false;
  std::string error, notice;
  bool usageError = false;
  if (!LoadSession(*parsed, session, &error, &notice, &usageError)) {
    io.err << "quelvo-cli: " << error << '\n';
    *status = usageError ? kCliUsage : kCliFileFailed;
    return false;
  }
  if (!notice.empty()) io.err << "quelvo-cli: " << notice << '\n';
  return true;
}

TransferRun::TransferRun(const ParsedArgs& args, CliSession& session, CliIo& io)
    : args_(args),
      session_(session),
      io_(io),
      view_(io.err, StyleFor(args), &SteadyMs),
      host_(view_, io.err, args.Has("yes")),
      port_(MakeSerialPort()),
      portsIni_(ProgramSettingsPath()),
      link_(*port_, host_, log_, session.settings.options, &portsIni_),
      transfer_(link_, host_, log_, session.settings.options) {
  InstallStopSignals();
  link_.Stops().SetWatch(host_.StopWatch());
  int seconds = 0;
  if (args.Has("timeout") && ParseInteger(args.Value("timeout"), &seconds)) host_.SetStartTimeout(seconds * 1000LL);
  // Option op6: the line selector's number, asked on the terminal.
  link_.SetSelectionSequence([this] {
    return RunSelectionSequence(link_, host_, [this]() -> std::optional<std::string> {
      std::string number;
      if (!host_.AskText("自動選択番号: ", &number)) return std::nullopt;
      return number;
    });
  });
}

int TransferRun::FailureStatus(const std::string& portText) const {
  if (port_->OpenFailed() || ResolvePortDevice(portText, &portsIni_).empty()) return kCliPortFailed;
  return kCliStopped;
}

int TransferRun::Finish(TransferSummary summary) {
  view_.BreakLine();
  if (port_->SetupFailed()) io_.err << "quelvo-cli: " << summary.port << ": " << PortErrorText(port_->OpenError()) << '\n';
  summary.setting = MenuPlaceOf(session_.setNo);
  summary.seconds = static_cast<double>(SteadyMs() - view_.StartMs()) / 1000.0;
  if (!args_.Has("quiet")) io_.err << SummaryText(summary) << '\n';
  if (args_.Has("json")) io_.out << SummaryJson(summary) << '\n';
  io_.out.flush();
  io_.err.flush();
  return summary.exitStatus;
}

}  // namespace quelvo::cli
