// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A TransferHost for tests: records every panel text, message, wait and
// indicator change, answers message boxes from a script, and plays the stop
// keys on the virtual clock: Watch(link.Stops()) makes a scripted key a stop
// request at its time, as the window's keys call Stop. Idle costs 1 ms of
// virtual time and a wait costs its length, so loops that wait for time make
// progress. A loop that runs past `runawayMs` of virtual time throws, so a
// faulty test fails instead of hanging.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "VirtualClock.h"
#include "core/transfer/DocumentLines.h"
#include "core/transfer/StopToken.h"
#include "core/transfer/TransferHost.h"
#include "core/transfer/TransferStatusTexts.h"
#include "core/transfer/TransferView.h"

namespace quelvo {

class FakeSendHost;

// The window's two stop keys, as the tests script them.
enum class StopKey { kF3, kEsc };

class FakeTransferHost : public TransferHost, public TransferView {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MessageKind kind;
    MessageButtons buttons;
  };

  explicit FakeTransferHost(VirtualClock& clock) : clock_(clock) {}

  // --- TransferView: what the engines' events become, through TransferStatusTexts ---
  void SetStatusField(TransferStatusField field, const std::string& text) override;
  void ShowStatusNow() override { ++repaints; }
  void SetProgressRange(int64_t maximum) override { progressMax = maximum; }
  void SetProgressPosition(int64_t position) override { progress = position; }
  void SetProgramLine(const std::string& text) override { programLine = text; }
  void ShowDsrState(bool on) override { dsrHistory.push_back(on); }
  void ShowCtsState(bool on) override { ctsHistory.push_back(on); }
  void ShowTransferPanel(bool visible) override { transferPanelVisible = visible; }
  void SetTitle(const std::string& text) override { title = text; }

  // --- TransferHost ---
  TransferEvents& Events() override { return texts_; }
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) override;
  void Idle() override;
  void WaitMs(int milliseconds) override;
  int64_t MonotonicMs() override { return clock_.nowMs; }
  std::time_t Now() override { return clock_.Wall(); }
  void SetScreenSaverActive(bool active) override { screenSaverActive = active; }

  // --- scripting ---
  // The scripted keys below become requests on `token` (a link's Stops()).
  void Watch(StopToken& token);
  // The key goes down at virtual time `atMs`: a stop request from then on,
  // taken once.
  void HoldKeyFrom(StopKey key, int64_t atMs);
  // A press and release at `atMs`: likewise.
  void PressKeyAt(StopKey key, int64_t atMs);
  std::deque<MessageAnswer> answers;  // for message boxes; kOk / kYes when empty
  bool shiftHeld = false;
  // The editor's lines; SetDocument fills them from a text as the window's
  // editor would hold it.
  std::vector<std::string> lines;
  void SetDocument(const std::string& text) { lines = DocumentLines(text); }
  int LineCount() const { return static_cast<int>(lines.size()); }
  std::string Line(int index) const { return lines.at(static_cast<size_t>(index)); }
  // Records the send's document events (set by FakeSendHost).
  FakeSendHost* window = nullptr;
  int64_t runawayMs = 3600 * 1000;
  std::function<void()> onIdle;  // called at every Idle, after its millisecond

  // --- what happened ---
  std::vector<std::pair<TransferStatusField, std::string>> statusTexts;  // every SetStatusField
  std::map<TransferStatusField, std::string> status;                     // the current texts
  std::vector<Message> messages;
  std::vector<int> waits;
  std::vector<bool> dsrHistory, ctsHistory;
  std::vector<bool> pauseHistory;  // every ControlPaused event
  std::vector<StopKey> stopsRequested;  // every scripted key that became a request
  std::string title, programLine;
  int64_t progress = 0, progressMax = 0;
  bool transferPanelVisible = false, screenSaverActive = true;
  int repaints = 0, eventPasses = 0;

 private:
  // The engines' events as this view's texts; the pauses, which have no
  // text, are recorded beside them.
  class Texts : public TransferStatusTexts {
   public:
    explicit Texts(FakeTransferHost& host) : TransferStatusTexts(host), host_(host) {}
    void ControlPaused(bool paused) override { host_.pauseHistory.push_back(paused); }
    void LineInProgress(int index, int64_t start, int64_t length) override;
    void LineEndReplaced(int index) override;
    void DataFlowing(bool flowing) override;
    void DocumentUnchanged(bool afterError) override;
    void NextPassReady() override;
    void Ended(bool completed) override;

   private:
    FakeTransferHost& host_;
  };
  Texts texts_{*this};
  struct KeyScript {
    int64_t holdFromMs = -1;  // held from then on; -1 never
    bool released = false;
    std::vector<int64_t> pressesMs;  // latched presses not yet read
  };
  void CheckRunaway() const;
  std::optional<StopKind> ScriptedStop();
  KeyScript& Script(StopKey key) { return keys_[key == StopKey::kF3 ? 0 : 1]; }

  VirtualClock& clock_;
  KeyScript keys_[2];
};

}  // namespace quelvo
