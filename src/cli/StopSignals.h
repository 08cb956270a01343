// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SIGINT and SIGTERM as the user's stop: the first one is held as a pressed
// stop key that the transfer host reports to the engines (the same path as
// Esc in the window); a second one ends the program at once with status 1.
// SIGHUP (the terminal or the ssh session went away) is the same stop, but
// never the second one: a hang-up often comes twice and nobody is left to
// press anything, so the transfer always ends through its stop path (log
// written, port and lock released). SIGPIPE is ignored: a reader of the
// progress or the summary that went away (`| head -1`) makes those writes
// fail, and the transfer goes on.
namespace quelvo::cli {

void InstallStopSignals();
// A stop came and was not yet taken by a transfer.
bool StopPending();
// The transfer took the stop (its key was released).
void ClearStop();
// Any stop came during this run.
bool StopEverRequested();

}  // namespace quelvo::cli
