// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns the events of a transfer into what a front end shows of it (a
// TransferView): the texts of the status fields (the phase, the remaining amount
// or the recognised code, the code with speed and stop bits, the port, the start
// signal, the repeat pass), the progress, the program line, the DSR/CTS states
// and the title. The one place that knows these texts; the window and the test
// hosts own one over their view.
#include "core/transfer/TransferEvents.h"
#include "core/transfer/TransferView.h"

namespace quelvo {

class TransferStatusTexts : public TransferEvents {
 public:
  explicit TransferStatusTexts(TransferView& view) : view_(view) {}

  void Started(TransferDirection direction, bool amountsInMeters) override;
  void Preparing() override;
  void PhaseChanged(TransferPhase phase) override;
  void LineSettings(const ActiveSetting& active) override;
  void CodeDetected(TapeCode code) override;
  void AmountToSend(int64_t totalChars) override;
  void SendTotal(int64_t totalChars, bool dataBegins) override;
  void CharactersSent(int64_t sentChars, int64_t totalChars, int32_t remainingSeconds) override;
  void AllDataSent() override;
  void RepeatPass(int count) override;
  void ReceiveBlock(int blockLines) override;
  void LinesInBlock(int lines) override;
  void ProgramLine(const std::string& line) override;
  void ControlFileName(const std::string& name) override;
  void Title(const std::string& title) override;
  void DsrState(bool on) override;
  void CtsState(bool on) override;

 private:
  bool Sending() const { return direction_ == TransferDirection::Send; }

  TransferView& view_;
  TransferDirection direction_ = TransferDirection::Send;
  bool meters_ = false;
};

}  // namespace quelvo
