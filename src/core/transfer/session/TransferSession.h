// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One way to run a transfer for every front end (the window, quelvo-cli,
// quelvo-dnc): the session owns a run of the send or the receive engine from
// its start to the completion step, and hands the front end a result to act
// on.
//
// - A send is handed a snapshot of the document's lines; what the engine
//   changes in it comes back as events (TransferEvents::LineEndReplaced).
// - Stop(kind) may be called from any thread while a run is in progress; the
//   engines take it between characters. Every kind ends the transfer with the
//   error number of a user's stop (9999), as the stop keys always have.
// - The completion step: the mail notice of the setting after a send
//   (Mail_Flg "Y" and an address with "@", once a port was opened for the
//   send), and the close-after-transfer decision, which the front end carries
//   out (closing is the window's business, powering off follows only a close).
//
// Error convention of the transfer layer: a run never throws; it ends with a
// TransferResult (completed, and otherwise the error number of the abort log
// line, the stop it acted on and whether the port failed), and the reasons
// are in the communication log and the host's messages. A stop is a call
// (Stop) and a failed port is the link's state (SerialLink::PortFailed): no
// front end sets a flag of the engines.
//
// The run happens on the caller's thread: the window calls it on its transfer
// thread, quelvo-cli on its main thread, quelvo-dnc on a machine's worker.
#include <atomic>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"
#include "core/settings/ProgramSettings.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/LineErrorText.h"
#include "core/transfer/StopToken.h"
#include "core/transfer/TransferHost.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/receive/ReceiveJob.h"
#include "core/transfer/send/SendEngine.h"

namespace quelvo {

struct TransferResult {
  TransferDirection direction = TransferDirection::Send;
  bool completed = false;
  // The number of the abort log line (see TransferError.h); 0 when completed.
  int errorNumber = 0;
  // The stop request the engine acted on, if any.
  std::optional<StopKind> stoppedBy;
  // The port failed under the transfer (a write the system refused, a device
  // that vanished); the reason is in the communication log.
  bool portFailed = false;
  // The file sent, or the file that holds the received data now.
  std::string transferFileName;
  // The front end closes the program (a completed transfer started with the
  // close request), and then, with powerOff, switches the PC off.
  bool closeProgram = false;
  bool powerOff = false;
  // The mail notice was handed to the mailer.
  bool mailed = false;
  // The driver's receive error counts over the transfer (also logged when
  // any is not zero).
  LineErrorReport lineErrors;
};

class TransferSession {
 public:
  using Mailer = std::function<void(const std::string& address, const std::string& subject,
                                    const std::string& body)>;

  // All references must outlive the session; `options` is read at each run.
  TransferSession(SerialLink& link, TransferHost& host, CommLog& log, const ProgramOptions& options);

  // Runs one send (or a repeat series) of `lines`, as DocumentLines makes
  // them, then the completion step.
  TransferResult RunSend(const SendJob& job, std::vector<std::string> lines);
  // Runs one reception, then the completion step.
  TransferResult RunReceive(const CommSetting& setting, const ReceiveJob& job);

  // Any thread: ends the running transfer through its stop path. A stop
  // while no run is in progress reaches nothing: the next run does not start
  // stopped.
  void Stop(StopKind kind) {
    if (running_.load()) link_.Stops().Request(kind);
  }
  // Any thread: a run is in progress (or announced by BeginRun).
  bool Running() const { return running_.load(); }
  // A run is about to start on another thread: stops count from now on, so
  // that one made while that thread starts is not lost.
  void BeginRun() { running_.store(true); }

  // The selective send's exclusion list, kept from send to send.
  SendSelection& Selection() { return send_.Selection(); }
  // Any thread: the counters of the running send (for the remaining-time estimate).
  SendCounters& Counters() { return send_.Counters(); }
  const SendOutcome& LastSend() const { return send_.Outcome(); }
  // The document as the last send left it.
  const std::vector<std::string>& SentLines() const { return lines_; }

  // Replaces the mail command (tests); by default MailSend.
  void SetMailer(Mailer mailer) { mailer_ = std::move(mailer); }

  // The text of the mail notice after a send: its start line (when the data
  // began), the end time and how it ended.
  static std::string MailBody(const SendOutcome& outcome, std::time_t end);

 private:
  bool MailNotice(const CommSetting& setting);
  void Finish(TransferResult& result);

  SerialLink& link_;
  TransferHost& host_;
  const ProgramOptions& options_;
  SendEngine send_;
  CommLog& log_;
  std::vector<std::string> lines_;
  Mailer mailer_;
  std::atomic<bool> running_{false};
};

}  // namespace quelvo
