#pragma once
// What a transfer engine needs from the window it runs in: the place its
// events go, message boxes, event processing, the stop keys, time and the
// editor's document. TForm1 implements it on
// the desktop; tests use tests/support/FakeTransferHost.h with a virtual clock.
//
// Everything is called on the GUI thread, synchronously, between characters.
#include <cstdint>
#include <ctime>
#include <string>

#include "core/transfer/TransferEvents.h"

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

  // Where the engines report what happens; the window shows it through
  // TransferStatusTexts.
  virtual TransferEvents& Events() = 0;

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
