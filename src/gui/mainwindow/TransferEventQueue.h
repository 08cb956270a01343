// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The events of a transfer running on the window's transfer thread, carried
// to the window's thread in their order. The frequent progress events (the
// line going out, the amount sent, the lines received) are kept as their
// latest value between two deliveries, so a fast line costs the window one
// drawing per delivery rather than one per line; a repeated phase is passed
// on once. Every other event is delivered as it came, after the progress that
// came before it.
//
// The engine's thread pushes (the TransferEvents calls); the window's thread
// calls Deliver, which applies what is pending to the target. `post` asks
// the window's thread to call Deliver soon; it is called once per batch of
// ordinary events, never for progress alone (the window delivers that on a
// timer while the transfer runs).
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "core/transfer/TransferEvents.h"

namespace quelvo {

class TransferEventQueue : public TransferEvents {
 public:
  TransferEventQueue(TransferEvents& target, std::function<void()> post);

  // The window's thread: applies every pending event to the target.
  void Deliver();

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
  void ControlPaused(bool paused) override;
  void ReceiveBlock(int blockLines) override;
  void LinesInBlock(int lines) override;
  void ProgramLine(const std::string& line) override;
  void ControlFileName(const std::string& name) override;
  void Title(const std::string& title) override;
  void DsrState(bool on) override;
  void CtsState(bool on) override;
  void LineInProgress(int index, int64_t start, int64_t length) override;
  void LineEndReplaced(int index) override;
  void DataFlowing(bool flowing) override;
  void DocumentUnchanged(bool afterError) override;
  void NextPassReady() override;
  void Ended(bool completed) override;

 private:
  using Event = std::function<void(TransferEvents&)>;
  struct Sent {
    int64_t sentChars, totalChars;
    int32_t remainingSeconds;
  };
  struct Line {
    int index;
    int64_t start, length;
  };

  void Push(Event event);
  // With the lock held: the latest progress joins the ordered events.
  void FlushProgressLocked();

  TransferEvents& target_;
  std::function<void()> post_;
  std::mutex mutex_;
  std::vector<Event> pending_;
  std::optional<Line> line_;
  std::optional<Sent> sent_;
  std::optional<int> linesInBlock_;
  std::optional<TransferPhase> phase_;  // the last phase pushed
  std::optional<bool> dsr_, cts_;       // the last modem lines pushed
  bool posted_ = false;
};

}  // namespace quelvo
