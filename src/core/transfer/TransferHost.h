#pragma once
// What a transfer engine needs from the main window. TForm1 implements it on
// the desktop; tests use tests/support/FakeTransferHost.h with a virtual clock.
//
// Everything is called on the GUI thread, synchronously, between characters.
#include <cstdint>
#include <ctime>
#include <string>

namespace quelvo {

// kPlain: a box without an icon.
enum class MessageKind { kPlain, kInformation, kWarning, kError, kQuestion };
enum class MessageButtons { kOk, kYesNo, kOkCancel };
enum class MessageAnswer { kOk, kYes, kNo, kCancel };

// The keys that stop a transfer. F3 is always tested before Esc.
enum class StopKey { kF3, kEsc };

class TransferHost {
 public:
  virtual ~TransferHost() = default;

  // --- the transfer status bar StatusBar2 and the transfer panel Panel2 ---
  // Panel `index` (1..6) of StatusBar2; panel 0 holds the progress bar.
  virtual void SetStatusPanel(int index, const std::string& text) = 0;
  // Redraws StatusBar2 at once.
  virtual void RepaintStatus() = 0;
  virtual void SetProgressRange(int64_t maximum) = 0;  // range 0..maximum
  virtual void SetProgressPosition(int64_t position) = 0;
  virtual void SetLabel2(const std::string& text) = 0;
  // DSR: font blue when on, red when off (text stays " ●").
  virtual void SetDsrIndicator(bool on) = 0;
  // CTS: text " ●" when on, " ○" when off.
  virtual void SetCtsIndicator(bool on) = 0;
  // Shows or hides LabeledEdit1, LabeledEdit2 and Panel2.
  virtual void ShowTransferPanel(bool visible) = 0;
  virtual void SetTitle(const std::string& title) = 0;

  // A modal message box placed 50 pixels right of and below the main window's
  // top-left corner. An empty caption means the application's title. Returns
  // the button pressed (kOk for a box with only an OK button).
  virtual MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                    MessageKind kind, MessageButtons buttons) = 0;

  // Lets the window process pending events (repaint, the "中止" button).
  virtual void ProcessEvents() = 0;

  // --- the keyboard ---
  // True while the key is held down.
  virtual bool KeyHeld(StopKey key) = 0;
  // True when the key is held down or was pressed since the previous query of
  // this key; the query clears the latched press.
  virtual bool KeyHit(StopKey key) = 0;
  // Synthesises a key-up: the key no longer reads as held, its latch is cleared.
  virtual void ReleaseKey(StopKey key) = 0;
  virtual bool ShiftHeld() = 0;

  // --- time ---
  // A plain wait: no event processing (the window is blocked meanwhile).
  virtual void WaitMs(int milliseconds) = 0;
  // Monotonic milliseconds, for time-outs and rates.
  virtual int64_t MonotonicMs() = 0;
  // Local wall-clock time, for log lines and mail texts.
  virtual std::time_t Now() = 0;

  // --- the editor's document: its lines in UTF-8 as DocumentLines() gives them
  // for its text (a final line break opens an empty last line; CR LF and a lone
  // CR are taken off a line, a lone LF stays on it) ---
  virtual int LineCount() = 0;
  virtual std::string Line(int index) = 0;

  // --- the desktop ---
  virtual void SetScreenSaverActive(bool active) = 0;
};

}  // namespace quelvo
