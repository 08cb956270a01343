// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command "toolpath" of the program without windows:
//
//   toolpath [--whole-units] [--lathe] [--skip-deleted] [--line N] FILE
//
// interprets the NC program file FILE (Shift-JIS or plain ASCII) and prints
// its moves, one per line, then what it could not interpret:
//
//   program FIRST LAST                  each program of the file (with --line N
//                                       only the one holding line N), its lines
//   LINE KIND X Y Z                     a move: its source line, its kind, its end point
//   LINE KIND X Y Z CX CY CZ            an arc: also its centre
//   problem LINE TEXT                   something not interpreted, or not executed
//   hint LINE TEXT                      e.g. how numbers without a decimal point were read
//   problems-left-off COUNT             problems past the list's limit
//
// KIND is rapid, feed, cw, ccw (arcs clockwise and counter-clockwise), drill
// (the cut of a drilling cycle), home (G28/G30 to the intermediate point) or
// machine (G53, marked where it stands). Coordinates are millimetres with four
// decimals, separated by single spaces; on a lathe X is the radius. Each
// program starts from X0 Y0 Z0 (on a lathe from its first programmed point)
// in the default modal state.
//
// Exit status: 0 when everything was interpreted, 1 when problems were listed,
// 2 when the arguments or the file were unusable (the reason on `err`).
#include <iosfwd>
#include <string>
#include <vector>

#include "core/toolpath/ToolPath.h"

namespace quelvo {

// `args` are the words after "toolpath".
int RunToolpathCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The move lines and the problem and hint lines of one interpreted program.
void WriteToolpathListing(const ToolPath& path, std::ostream& out);

}  // namespace quelvo
