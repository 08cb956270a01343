// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli send: the file as the window's "S=FILE END" sends it. The file is
// read as the window loads a document, the log starts as the send command
// starts it, and the same transfer session runs with the chosen setting (the
// mail notice of the setting included).
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <ostream>

#include "cli/CliExit.h"
#include "cli/CliRestart.h"
#include "cli/CliTransfer.h"
#include "core/document/DocumentFile.h"
#include "core/document/DocumentTitle.h"
#include "core/document/FileTexts.h"
#include "core/transfer/DocumentLines.h"
#include "core/transfer/send/SendCommand.h"

namespace quelvo::cli {
namespace {

const CliCommand& Command() { return CliCommands()[0]; }

// The path as the log names it: absolute, as the window's file arguments are.
std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (::getcwd(cwd, sizeof cwd) == nullptr) return path;
  return std::string(cwd) + "/" + path;
}

}  // namespace

int RunSend(const std::vector<std::string>& args, CliIo& io) {
  ParsedArgs parsed;
  CliSession session;
  int status = kCliUsage;
  if (!StartTransferCommand(args, Command(), io, &parsed, &session, &status, RestartOptionRules())) return status;
  if (!parsed.Has("from")) {
    for (const OptionRule& rule : RestartOptionRules()) {
      if (parsed.Has(rule.name)) {
        io.err << "quelvo-cli send: --" << rule.name << " は --from と一緒に指定します\n";
        return kCliUsage;
      }
    }
  }
  const std::string path = AbsolutePath(parsed.positional[0]);

  DocumentLoad load = ReadDocumentFile(path);
  if (!load.opened) {
    io.err << "quelvo-cli: " << path << kCannotRead << load.error << '\n';
    return kCliFileFailed;
  }
  // A file whose text starts with a zero byte: the window asks whether to read
  // it line by line; there is no other way to send it, so that is the answer.
  if (load.needsFormatQuestion && load.size > 0) load.text = ReadDocumentFileByLines(path);
  if (load.text.empty()) {
    io.err << "quelvo-cli: 送信データが有りません。\n";
    return kCliStopped;
  }
  // From a block on: the preamble and the rest of the program, or nothing.
  std::string restartLogLine;
  if (parsed.Has("from") && !ApplyRestart(parsed, path, &load.text, &restartLogLine, io, &status)) return status;
  ApplyPortOverride(parsed, &session, true);

  TransferRun run(parsed, session, io);
  std::vector<std::string> lines = DocumentLines(load.text);
  std::string().swap(load.text);
  // Without the window's program list there is nothing to choose from: the
  // whole file goes out, and the log says so.
  StartSendLog(run.Log(), true, path);
  if (!restartLogLine.empty()) run.Log().AppendLog(restartLogLine);

  SendJob job;
  job.setting = session.comm;
  job.SetNo = session.setNo;
  job.CurrentFileName = path;
  job.VersionSuffix = kVersionSuffix;
  job.CloseAfterTransfer = true;  // as "END": nothing to close here
  const TransferResult result = run.Transfer().RunSend(job, std::move(lines));

  const bool completed = result.completed;
  TransferSummary summary;
  summary.command = "send";
  summary.file = path;
  summary.port = session.comm.Port_S;
  // The engine counts a line end after the last line too; the file has none.
  const TransferFigures& figures = run.View().Figures();
  summary.bytes = figures.totalBytes > 0 ? std::min(figures.bytes, figures.totalBytes) : figures.bytes;
  summary.completed = completed;
  summary.errorNumber = result.errorNumber;
  summary.lineErrors = result.lineErrors;
  summary.exitStatus = completed ? kCliDone : run.FailureStatus(session.comm.Port_S);
  summary.result = completed ? "送信完了" : "送信中止";
  return run.Finish(summary);
}

}  // namespace quelvo::cli
