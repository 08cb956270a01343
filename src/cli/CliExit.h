// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exit statuses of quelvo-cli, for scripts.
namespace quelvo::cli {

inline constexpr int kCliDone = 0;          // the transfer completed; check: goes out as written
inline constexpr int kCliStopped = 1;       // stopped or refused (control, user, line check); check: changes
inline constexpr int kCliUsage = 2;         // wrong usage
inline constexpr int kCliPortFailed = 3;    // the port could not be opened
inline constexpr int kCliFileFailed = 4;    // a file could not be read or written

}  // namespace quelvo::cli
