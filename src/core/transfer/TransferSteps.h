// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a transfer engine ends, the same for sending and receiving.
//
// The step that finds the end of a transfer early (a refusal, a stop, a port
// or file that fails) takes the engine's ending path at once (its log line,
// DC4, closing the port, the status fields) and then leaves every step with
// StopTransfer(). RunTransferSteps catches that; any other exception out of
// the steps takes the engine's unexpected-error path, and when even that
// throws, `lastResort` (closing the port) runs. Nothing escapes an engine.
namespace quelvo {

// Thrown by StopTransfer once the ending path has run; carries nothing.
struct TransferStopped {};

[[noreturn]] inline void StopTransfer() { throw TransferStopped{}; }

template <typename Steps, typename Unexpected, typename LastResort>
void RunTransferSteps(Steps&& steps, Unexpected&& unexpected, LastResort&& lastResort) noexcept {
  try {
    try {
      steps();
    } catch (const TransferStopped&) {
      // The ending path has run where the end was found.
    }
  } catch (...) {
    try {
      unexpected();
    } catch (...) {
      try {
        lastResort();
      } catch (...) {
        // Nothing more can be done or reported.
      }
    }
  }
}

}  // namespace quelvo
