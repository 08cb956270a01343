#pragma once
// The main window as the transfer engines see it: TransferHost and SendHost
// over TForm1's widgets. Status texts go to StatusBar2 and StatusBar1, the
// indicators to LabeledEdit1/2, the document's lines come from RichEdit1, and
// the stop keys from the application-wide StopKeyFilter.
//
// Message boxes go through a replaceable function so that window tests can
// answer them; the default shows a modal box 50 pixels right of and below the
// window's top-left corner.
#include <chrono>
#include <functional>

#include "core/transfer/TransferHost.h"
#include "core/transfer/TransferStatusTexts.h"
#include "core/transfer/TransferView.h"
#include "core/transfer/send/SendHost.h"

namespace quelvo {

class StopKeyFilter;
class TForm1;

class WindowTransferHost : public TransferHost, public TransferView, public SendHost {
 public:
  using MessageFunction = std::function<MessageAnswer(
      const std::string& text, const std::string& caption, MessageKind kind, MessageButtons buttons)>;

  WindowTransferHost(TForm1& form, StopKeyFilter& keys);

  // Replaces the message boxes (tests); an empty function restores them.
  void SetMessageFunction(MessageFunction function) { message_ = std::move(function); }
  // Replaces the desktop's power-off (tests); by default logind.
  void SetSystemPowerOff(std::function<bool()> powerOff) { systemPowerOff_ = std::move(powerOff); }

  // --- TransferView ---
  void SetStatusPanel(int index, const std::string& text) override;
  void RepaintStatus() override;
  void SetProgressRange(int64_t maximum) override;
  void SetProgressPosition(int64_t position) override;
  void SetLabel2(const std::string& text) override;
  void SetDsrIndicator(bool on) override;
  void SetCtsIndicator(bool on) override;
  void ShowTransferPanel(bool visible) override;
  void SetTitle(const std::string& title) override;

  // --- TransferHost ---
  TransferEvents& Events() override { return texts_; }
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) override;
  void ProcessEvents() override;
  bool KeyHeld(StopKey key) override;
  bool KeyHit(StopKey key) override;
  void ReleaseKey(StopKey key) override;
  bool ShiftHeld() override;
  void WaitMs(int milliseconds) override;
  int64_t MonotonicMs() override;
  std::time_t Now() override;
  int LineCount() override;
  std::string Line(int index) override;
  void SetScreenSaverActive(bool active) override;

  // --- SendHost ---
  void ShowLineInEditor(int64_t start, int64_t length) override;
  void FocusEditor() override;
  void RepaintEditor() override;
  void ReplaceFinalLineFeed(int index) override;
  bool IsModified() override;
  void SetModified(bool modified) override;
  void SetEditorStatusPanel(int index, const std::string& text) override;
  void SetEstimateTimer(bool enabled) override;
  void StartCompletionTimer() override;
  void CloseProgram(bool powerOff) override;

 private:
  TransferStatusTexts texts_{*this};  // the engines' events as this view's texts
  std::string RawLine(int index);  // with its line end

  TForm1& form_;
  StopKeyFilter& keys_;
  MessageFunction message_;
  std::function<bool()> systemPowerOff_;
  int64_t progressScale_ = 1;  // the progress bar counts in ints
  // Calls of ProcessEvents in the current 10 ms window: a loop that polls
  // faster than any serial line could feed it is slowed by short sleeps.
  std::chrono::steady_clock::time_point burstStart_{};
  int burstCalls_ = 0;
};

}  // namespace quelvo
