// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Restarting an NC program at one of its blocks (after a broken tool, say):
// the control has lost the modal state and the tool is not where the program
// thinks it is, so the rest of the program is sent behind a preamble that
// rebuilds that state and brings the tool safely to the block's start point.
//
// PlanRestart reads the program holding the block with the interpreter (for
// the position) and a ModalTracker (for the modal words as written), and
// gives the modal state at the block, the preamble, the refusals and
// warnings, and where the rest of the program lies in the text.
//
// The preamble, in the program's own words: its "%" and program number line,
// a comment naming the restart, the modal words (units, plane, G90, feed
// mode, work offset, compensation and cycle cancels, G49) and the last F, the
// tool call as written (T.. M06 on a mill, T0101 on a lathe) and a tool called
// up for the next change, the spindle (clamp G50 S on a lathe, G96/G97, S,
// M03/M04) and coolant. Then the approach: on a mill up to the clearance Z
// (with G43 H when a length offset is in force), a rapid to the start point in
// X Y, down to its Z at feed; on a lathe away from the part in X to the
// clearance diameter, to the start Z, in to the start X at feed. Last the
// modes the approach changed (G91, the motion code) are put back.
//
// Refusals (nothing should be sent; a line to restart at instead is offered
// where one is known): a block inside a canned cycle sequence, with cutter
// compensation in force, under a modal macro call, inside a subprogram, or
// with incremental moves from a position that is not known. Warnings: an
// M00/M01 passed over, calls and macros before the block that were not
// followed, G92 after the last move, axes whose position is not known,
// a clearance below the start point, no feed for the approach.
// Errors (the request cannot be planned): no such line, a line without a
// block, a line the interpreter cannot read before the block.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/toolpath/ModalState.h"
#include "core/toolpath/NcInterpreter.h"

namespace quelvo {

struct RestartOptions {
  InterpretOptions interpret;
  // The clearance in the program's unit at the block: a Z height on a mill, an
  // X diameter on a lathe. Without it: the highest Z (largest X) of the
  // program before the block.
  bool hasClearance = false;
  double clearance = 0;
};

struct RestartNote {
  bool refusal = false;
  int32_t line = 0;   // the line the note is about, 1-based
  std::string text;
  int32_t offer = 0;  // a line to restart at instead; 0 when none is known
};

struct RestartPlan {
  std::string error;   // set when nothing could be planned; the rest is then empty
  int32_t errorOffer = 0;  // with an error: a line that could be planned instead, or 0
  int32_t line = 0;    // the restart line, 1-based
  ModalState state;    // at the start of the block
  Point3 position;     // of the tool before the block, millimetres (on a lathe X is the radius)
  bool positionKnown[3] = {false, false, false};
  double clearance = 0;  // as used, in the program's unit
  bool inch = false;     // the program's unit at the block
  std::vector<std::string> preamble;  // lines without line ends
  size_t restBegin = 0, restEnd = 0;  // the rest of the program: bytes of the text
  std::vector<RestartNote> notes;

  bool Refused() const;
  // The line offered instead of a refused restart (the first refusal's offer,
  // or the error's); 0 when none.
  int32_t Offer() const;
};

RestartPlan PlanRestart(std::string_view text, int32_t line, const RestartOptions& options);

// The program to send: the preamble, then the rest as written, with the
// text's own line ends.
std::string RestartProgramText(const RestartPlan& plan, std::string_view text);

// The line a send log gets for a restart: "  途中から送信 再開行は4800行目: "
// and the restart line as written, then "\n".
std::string RestartLogLine(const RestartPlan& plan, std::string_view text);

// After a send that stopped while line `lineBeingSent` went out (1-based):
// the line to propose for a restart. The control has buffered what came
// before, so the last complete line may not have run; the block before it
// has. 0 when there is none.
int32_t ProposedRestartLine(std::string_view text, int32_t lineBeingSent);

// A restart point as a user or a control writes it: "N4800" a block number as
// written in the program, "L4800" or "4800" a line number.
struct RestartPoint {
  bool blockNumber = false;
  long number = 0;
};
bool ParseRestartPoint(std::string_view text, RestartPoint& point);

// The line of the restart point: for a block number the first line of the
// text whose block carries it, for a line number that line; 0 when there is none.
int32_t RestartLineOf(std::string_view text, const RestartPoint& point);

}  // namespace quelvo
