// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the settings dialogs open and where they leave their place when they
// close: the Left/Top keys of Sub.ini in the program folder, shared by the
// dialogs that remember their position.
#include <string>

class QWidget;

namespace quelvo {

struct DialogPrompts;

// Moves the dialog's inside (its frame left out) to the stored position
// (10, 10 without a file); StoreDialogPlacement stores the same.
void PlaceDialogFromSubIni(QWidget& dialog, const std::string& programFolder);

// Writes Top and Left; a failed write is reported through prompts.warn.
// Returns false when the file could not be written.
bool StoreDialogPlacement(QWidget& dialog, const std::string& programFolder,
                          const DialogPrompts& prompts);

}  // namespace quelvo
