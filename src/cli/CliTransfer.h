// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What send and receive share: their options, the objects of one transfer as
// the window holds them (log, port, link, host, the transfer session), and the
// end of the run (exit status, summary, JSON).
#include <memory>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "cli/ProgressView.h"
#include "cli/SerialPortFactory.h"
#include "cli/TerminalHost.h"
#include "core/settings/IniFile.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/session/TransferSession.h"

namespace quelvo::cli {

// --setting N, --port PORT, --yes, --quiet, --json, --timeout SECONDS.
const std::vector<OptionRule>& TransferOptions();

// Reads the arguments and the session of a transfer command; on failure the
// message is written and *status holds the exit status. `more` are options
// the command takes beside TransferOptions.
bool StartTransferCommand(const std::vector<std::string>& args, const CliCommand& command, CliIo& io,
                          ParsedArgs* parsed, CliSession* session, int* status,
                          const std::vector<OptionRule>& more = {});

class TransferRun {
 public:
  TransferRun(const ParsedArgs& args, CliSession& session, CliIo& io);

  CommLog& Log() { return log_; }
  SerialLink& Link() { return link_; }
  TerminalHost& Host() { return host_; }
  TransferSession& Transfer() { return transfer_; }
  ProgressView& View() { return view_; }

  // The exit status of a transfer that did not complete: 3 when its port could
  // not be opened, 1 otherwise.
  int FailureStatus(const std::string& portText) const;
  // Writes the summary (stderr) and the JSON object (stdout, with --json).
  int Finish(TransferSummary summary);

 private:
  const ParsedArgs& args_;
  CliSession& session_;
  CliIo& io_;
  ProgressView view_;
  TerminalHost host_;
  CommLog log_;
  std::unique_ptr<OpenTrackingPort> port_;
  IniFile portsIni_;
  SerialLink link_;
  TransferSession transfer_;
};

// The menu place of a setting number, as --setting takes it.
int MenuPlaceOf(int setNo);

}  // namespace quelvo::cli
