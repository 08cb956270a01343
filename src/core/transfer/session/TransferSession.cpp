// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/session/TransferSession.h"

#include "core/common/DateTimeText.h"
#include "core/transfer/MailSend.h"
#include "core/transfer/receive/ReceiveEngine.h"

namespace quelvo {

TransferSession::TransferSession(SerialLink& link, TransferHost& host, CommLog& log,
                                 const ProgramOptions& options)
    : link_(link),
      host_(host),
      options_(options),
      send_(link, host, log, options),
      log_(log),
      mailer_([](const std::string& address, const std::string& subject, const std::string& body) {
        MailSend(address, subject, body);
      }) {}

TransferResult TransferSession::RunSend(const SendJob& job, std::vector<std::string> lines) {
  running_.store(true);
  lines_ = std::move(lines);
  send_.RunSend(job, lines_);
  const SendOutcome& outcome = send_.Outcome();
  TransferResult result;
  result.direction = TransferDirection::Send;
  result.completed = outcome.SendCompleted;
  result.errorNumber = outcome.SendCompleted ? 0 : link_.State().ErrorNumber;
  result.transferFileName = outcome.TransferFileName;
  result.closeProgram = outcome.CloseProgram;
  result.powerOff = outcome.PowerOff;
  result.lineErrors = outcome.lineErrors;
  // Only a send that got as far as opening its port mails.
  if (link_.Port().PortOpenedForSend) result.mailed = MailNotice(job.setting);
  Finish(result);
  return result;
}

TransferResult TransferSession::RunReceive(const CommSetting& setting, const ReceiveJob& job) {
  running_.store(true);
  ReceiveEngine engine(link_, host_, log_, options_);
  const ReceiveOutcome outcome = engine.RunReceive(setting, job);
  host_.Events().Ended(outcome.ReceiveCompleted);
  TransferResult result;
  result.direction = TransferDirection::Receive;
  result.completed = outcome.ReceiveCompleted;
  result.errorNumber = outcome.ErrorNumber;
  result.transferFileName = outcome.TransferFileName;
  result.lineErrors = outcome.lineErrors;
  result.closeProgram = outcome.ReceiveCompleted && job.closeAfterTransfer;
  result.powerOff = result.closeProgram && options_.powerOffAfterTransfer;
  Finish(result);
  return result;
}

void TransferSession::Finish(TransferResult& result) {
  running_.store(false);
  result.stoppedBy = link_.Stops().LastTaken();
  result.portFailed = link_.PortFailed();
  // A stop that came after the engine's last test has nothing left to stop.
  link_.Stops().Reset();
}

std::string TransferSession::MailBody(const SendOutcome& outcome, std::time_t end) {
  return outcome.StartText + "終了 " + ShortDateTimeText(end) +
         (outcome.SendCompleted ? "\n送信無事完了しました。" : "\n送信中断しました。");
}

bool TransferSession::MailNotice(const CommSetting& setting) {
  if (setting.Mail_Flg != "Y" || setting.Mail_Address.empty() ||
      setting.Mail_Address.find('@') == std::string::npos) {
    return false;
  }
  mailer_(setting.Mail_Address, setting.Mail_Subject, MailBody(send_.Outcome(), host_.Now()));
  return true;
}

}  // namespace quelvo
