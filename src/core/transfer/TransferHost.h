// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a transfer engine needs from the front end it runs for: the place its
// events go, questions to the user, time, and the desktop's screen saver.
// The window (on its transfer thread), the terminal program and the shop
// service implement it; tests use tests/support/FakeTransferHost.h with a
// virtual clock.
//
// Every call comes from the thread the engine runs on. A question blocks
// that thread until the user has answered. The user's stop is no part of
// the host: it reaches the engines as a request on the link's StopToken.
//
// Error convention of the transfer layer: an engine never throws; how a
// transfer ended is its outcome (completed or not, and the error number of
// the abort log line, see TransferError.h), which the TransferSession hands
// to the front end as its result.
#include <cstdint>
#include <ctime>
#include <string>

#include "core/transfer/TransferEvents.h"

namespace quelvo {

// kPlain: a box without an icon.
enum class MessageKind { kPlain, kInformation, kWarning, kError, kQuestion };
enum class MessageButtons { kOk, kYesNo, kOkCancel };
enum class MessageAnswer { kOk, kYes, kNo, kCancel };

class TransferHost {
 public:
  virtual ~TransferHost() = default;

  // Where the engines report what happens.
  virtual TransferEvents& Events() = 0;

  // A question or message to the user: in the window a modal message box
  // placed 50 pixels right of and below the main window's top-left corner.
  // An empty caption means the application's title. Returns the answer
  // (kOk for a message with only an OK button).
  virtual MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                    MessageKind kind, MessageButtons buttons) = 0;

  // A point between characters. The host may refresh its own view or keep a
  // loop that polls faster than any line could feed it from spinning; it
  // returns at once and never waits for input.
  virtual void Idle() = 0;

  // --- time ---
  // A plain wait.
  virtual void WaitMs(int milliseconds) = 0;
  // Monotonic milliseconds, for time-outs and rates.
  virtual int64_t MonotonicMs() = 0;
  // Local wall-clock time, for log lines and mail texts.
  virtual std::time_t Now() = 0;

  // --- the desktop ---
  virtual void SetScreenSaverActive(bool active) = 0;
};

}  // namespace quelvo
