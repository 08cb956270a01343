// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The message boxes the settings dialogs show, behind replaceable functions so
// that tests can answer them without a person at the screen.
#include <QString>
#include <functional>

#include "core/settings/UnsavedChanges.h"

class QWidget;

namespace quelvo {

struct DialogPrompts {
  // Yes/No question with the information icon.
  std::function<CloseAnswer(QWidget* parent, const QString& caption, const QString& text)> askYesNo;
  // Information message with an OK button.
  std::function<void(QWidget* parent, const QString& caption, const QString& text)> inform;
  // Error message with an OK button.
  std::function<void(QWidget* parent, const QString& caption, const QString& text)> warn;
};

// Prompts shown as ordinary message boxes.
DialogPrompts StandardDialogPrompts();

}  // namespace quelvo
