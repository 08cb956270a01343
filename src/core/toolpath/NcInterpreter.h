// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The toolpath interpreter: reads a word-address NC program of the common
// milling and lathe dialect and gives the path the tool takes.
//
// Followed: G00 G01 G02 G03 (R, negative R for arcs over 180 degrees, or
// I J K, full circles with I J K), helical Z, G17 G18 G19, G90 G91, G20 G21,
// F, drilling cycles G73 G74 G76 G81-G89 with G98 G99, R and Z (K or L
// repeats), G80, G92 (and G50 on a lathe) setting the position, modal states
// across lines. G28/G30 are drawn as marked moves to the intermediate point
// and G53 as a mark; the reference point and machine coordinates are not
// followed. Subprogram calls (M98, M99), macro calls (G65 G66) and macro
// statements are listed as problems, not executed; so is everything the
// interpreter cannot follow, with its line. M02 and M30 end the program.
//
// Numbers without a decimal point are by default in the least input increment
// (X10 = 0.010 mm, or 0.0010 inch under G20), as most controls read them;
// `wholeUnits` reads them in millimetres or inches ("calculator" input). The
// first word whose meaning depends on that choice is given as a hint.
// Lathe: X is a diameter (the path holds the radius), U and W are incremental
// X and Z, G18 is the starting plane; G90/G92/G94 and G70-G76 are the lathe's
// turning cycles there and are listed, not followed. A lathe's path starts at
// its first programmed point (or where G50 puts it), not on the spindle axis.
// Lengths are millimetres in the path whatever the program's unit.
#include <functional>
#include <string_view>

#include "core/toolpath/ToolPath.h"

namespace quelvo {

struct InterpretOptions {
  bool wholeUnits = false;
  bool lathe = false;
  bool skipDeletedBlocks = false;  // the block delete switch: on skips "/" lines
  double arcTolerance = 0.01;      // mm an arc's end may stray from its radius
  size_t problemLimit = 1000;      // problems beyond are only counted
  // Moves beyond are not made: a problem says so and interpretation stops.
  // 0: one a byte of the text plus a million, at most 40 million.
  size_t moveLimit = 0;
};

// Called now and then with the share of the text read (0..1); returning false
// cancels: the path so far is returned with `cancelled` set.
using InterpretProgress = std::function<bool(double)>;

// Interprets `text`, whose first line is line `firstLine` of its file.
ToolPath Interpret(std::string_view text, int32_t firstLine, const InterpretOptions& options,
                   const InterpretProgress& progress = {});

}  // namespace quelvo
