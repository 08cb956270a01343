#pragma once
// SIGINT and SIGTERM as the user's stop: the first one is held as a pressed
// stop key that the transfer host reports to the engines (the same path as
// Esc in the window); a second one ends the program at once with status 1.
namespace quelvo::cli {

void InstallStopSignals();
// A stop came and was not yet taken by a transfer.
bool StopPending();
// The transfer took the stop (its key was released).
void ClearStop();
// Any stop came during this run.
bool StopEverRequested();

}  // namespace quelvo::cli
