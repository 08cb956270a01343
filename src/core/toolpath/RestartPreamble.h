// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preamble of a restart (see RestartPlan.h) written from the modal state
// at the block and the block's start point.
#include <string>
#include <vector>

#include "core/toolpath/ModalState.h"
#include "core/toolpath/RestartPlan.h"

namespace quelvo {

struct PreambleInput {
  const ModalState* state = nullptr;
  const ModalHistory* history = nullptr;
  bool lathe = false;
  bool inch = false;
  bool percent = false;  // the program begins with a "%" line
  int32_t line = 0;      // the restart line
  Point3 start;          // the block's start point in the program's unit (lathe X a diameter)
  bool known[3] = {false, false, false};
  std::string blockFeed;  // the block's own F as written, for an approach without a feed in force
  bool clearanceGiven = false;  // by the user, not taken from the program
  double clearance = 0;  // Z on a mill, X diameter on a lathe, in the program's unit
};

// The preamble's lines; warnings about the approach go to `notes`.
std::vector<std::string> ComposePreamble(const PreambleInput& in, std::vector<RestartNote>& notes);

// A length in the program's unit as a word's number, always with its point:
// "50.", "-12.5", "0.0625".
std::string ProgramNumber(double value, bool inch);

}  // namespace quelvo
