// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The modal state of an NC program at the start of a block, as a restart needs
// it: each group as the program wrote it (units, plane, distance mode, work
// offset, feed mode, spindle mode and clamp, tool length offset, cutter
// compensation, canned cycle, motion), the tool, spindle, coolant and feed
// words, and what the tracker knows about the tool's position.
//
// ModalTracker reads blocks one after another (NcBlock plus the line's text,
// from which words are kept exactly as written) and keeps that state. It reads
// the same dialect as the interpreter (NcInterpreter.h) but follows no
// geometry: where the tool is comes from the interpreter.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/toolpath/NcBlock.h"

namespace quelvo {

// One modal word: its value (a G code times ten for G groups) and its text
// as written ("G54.1 P12", "T0101", "F250."). Equal when both are unset or
// both hold the same value: "G1" and "G01" are the same state.
struct ModalWord {
  bool set = false;
  double value = 0;
  std::string text;
  bool Is(double v) const { return set && value == v; }
  bool operator==(const ModalWord& o) const { return set == o.set && (!set || value == o.value); }
  bool operator!=(const ModalWord& o) const { return !(*this == o); }
};

struct ModalState {
  ModalWord units;         // G20 G21
  ModalWord plane;         // G17 G18 G19
  ModalWord distance;      // G90 G91 (milling)
  ModalWord workOffset;    // G54..G59, G54.1, G59.x; `offsetP` its P
  ModalWord offsetP;
  ModalWord feedMode;      // G94 G95 (G98 G99 on a lathe)
  ModalWord spindleMode;   // G96 G97
  ModalWord clamp;         // the S of G50 S / G92 S: the spindle speed limit
  ModalWord lengthOffset;  // G43 G44 G49; `lengthH` its H
  ModalWord lengthH;
  ModalWord comp;          // G40 G41 G42
  ModalWord cycle;         // G73..G89, G80
  ModalWord motion;        // G00 G01 G02 G03 (G33 on a lathe)
  ModalWord tool;          // the T of the tool in the spindle (or turret)
  ModalWord nextTool;      // a T given after the last tool change (called up, not yet changed)
  bool toolChange = false;  // the program changes tools with M06
  ModalWord speed;         // the last S that is not a clamp
  ModalWord spindle;       // M03 M04 M05
  bool mist = false, flood = false;  // M07, M08 (M09 switches both off)
  bool coolantWritten = false;
  ModalWord feed;          // the last F

  bool operator==(const ModalState& o) const;
  bool operator!=(const ModalState& o) const { return !(*this == o); }
};

// Where things were switched on, for the restart's refusals and warnings.
// Lines are 1-based; 0 when none.
struct ModalHistory {
  int32_t compOnLine = 0;     // the block that switched G41/G42 on
  int32_t cycleLine = 0;      // the block that started the canned cycle in force
  int32_t modalMacroLine = 0;  // a G66 in force
  int32_t lastStopLine = 0;   // the last M00/M01
  std::string lastStopText;   // that line as written
  int32_t lastCallLine = 0;   // the last M98, G65, macro statement: not followed
  int32_t lastSetLine = 0;    // the last G92 (G50 on a lathe) that set the position
  int32_t programLine = 0;    // the program number line of the program
  std::string programText;    // that line as written
  bool subprogram = false;    // an M99 ended the program: it is a subprogram
  bool axisKnown[3] = {false, false, false};  // X Y Z last set by an absolute word
};

class ModalTracker {
 public:
  explicit ModalTracker(bool lathe) : lathe_(lathe) {}

  // Takes the block `block` parsed from `text`, line `line` of the file.
  void Block(const NcBlock& block, std::string_view text, int32_t line);
  // Forgets everything: a new program number line starts a new program.
  void Reset();

  const ModalState& State() const { return state_; }
  const ModalHistory& History() const { return history_; }
  bool Lathe() const { return lathe_; }

 private:
  bool lathe_;
  ModalState state_;
  ModalHistory history_;
  std::vector<std::string_view> texts_;  // the words of the present block as written
};

// The words of `line` as written, in the order ParseBlock gives them ("X-1.5",
// "G01"): `texts[i]` is the text of block.words[i]. Empty when the line does
// not split the same way (a macro line, an error).
void WordTexts(std::string_view line, std::vector<std::string_view>& texts);

// The text of G code `code10` (a G code times ten): "G01", "G54.1".
std::string GCodeText(int code10);

}  // namespace quelvo
