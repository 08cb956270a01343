// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli receive: a reception as the window's "R=FILE END" runs it, or,
// with an OSP setting, as "受信" runs it into a chosen folder (the control's
// "$" name decides the file).
#include <sys/stat.h>

#include <ostream>

#include "cli/CliExit.h"
#include "cli/CliTransfer.h"
#include "core/commandline/CommandLineRules.h"
#include "core/document/DocumentTitle.h"
#include "core/settings/SettingSlots.h"
#include "core/transfer/TransferError.h"
#include "core/transfer/receive/ReceiveCommand.h"
#include "core/transfer/receive/ReceiveJob.h"

namespace quelvo::cli {
namespace {

const CliCommand& Command() { return CliCommands()[1]; }

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

int64_t FileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : 0;
}

}  // namespace

int RunReceive(const std::vector<std::string>& args, CliIo& io) {
  ParsedArgs parsed;
  CliSession session;
  int status = kCliUsage;
  if (!StartTransferCommand(args, Command(), io, &parsed, &session, &status)) return status;
  const std::string out = parsed.positional[0];
  const bool osp = IsOspSetting(session.setNo);
  if (osp && !IsFolder(out)) {
    io.err << "quelvo-cli: OSP の通信設定では OUT は受信先のフォルダです: " << out << '\n';
    return kCliFileFailed;
  }
  if (!osp && IsFolder(out)) {
    io.err << "quelvo-cli: " << out << " はフォルダです。受信するファイル名を指定してください。\n";
    return kCliFileFailed;
  }
  ApplyPortOverride(parsed, &session, false);

  TransferRun run(parsed, session, io);
  ReceiveJob job;
  job.unattended = true;
  job.ospSetting = osp;
  job.versionSuffix = kVersionSuffix;
  if (osp) {
    const ReceiveTarget target = OspReceiveTarget(out);
    job.TransferFileName = target.TransferFileName;
    job.DirPath = target.DirPath;
    StartOspReceiveLog(run.Log(), target.DirPath);
  } else {
    // As "R=" asks before it receives over a file; --yes answers.
    if (Exists(out) && !run.Host().AskYesNo(OverwriteQuestion(out))) return kCliStopped;
    job.TransferFileName = out;
  }

  const TransferResult result = run.Transfer().RunReceive(session.comm, job);
  ReceiveOutcome outcome;
  outcome.ReceiveCompleted = result.completed;
  outcome.TransferFileName = result.transferFileName;
  outcome.ErrorNumber = result.errorNumber;

  TransferSummary summary;
  summary.command = "receive";
  summary.file = outcome.TransferFileName;
  summary.port = session.comm.Port_R;
  summary.bytes = outcome.ReceiveCompleted ? FileSize(outcome.TransferFileName) : 0;
  summary.lines = run.View().Figures().lines;
  summary.completed = outcome.ReceiveCompleted;
  summary.errorNumber = outcome.ErrorNumber;
  summary.lineErrors = result.lineErrors;
  if (outcome.ReceiveCompleted) {
    summary.exitStatus = kCliDone;
  } else if (outcome.ErrorNumber == kReceiveTargetFile) {
    summary.exitStatus = kCliFileFailed;
  } else {
    summary.exitStatus = run.FailureStatus(session.comm.Port_R);
  }
  summary.result = outcome.ReceiveCompleted ? "受信完了" : "受信中止";
  return run.Finish(summary);
}

}  // namespace quelvo::cli
