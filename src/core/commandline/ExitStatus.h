// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's exit status, for scripts and scheduled runs.
namespace quelvo {

// Normal end; with "END", the requested transfer completed.
inline constexpr int kExitOk = 0;
// "END" was given with a send or receive request, and the transfer did not
// complete (failed, stopped, refused, or its file was not found).
inline constexpr int kExitTransferNotCompleted = 1;
// The program could not start: its single-instance lock folder is unusable.
inline constexpr int kExitCannotStart = 2;

}  // namespace quelvo
