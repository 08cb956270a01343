// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interpreted path of an NC program, kept compact for programs of millions
// of moves: one entry per move in flat arrays (end point as double millimetres,
// source line, kind: 29 bytes a move), arcs' centres and the feed rate's
// changes in side tables. A move starts where the one before it ends; the
// first starts at `start`.
//
// End points lie on a grid of 0.00001 mm (kPathResolution), which
// holds the least increments of both metric (0.001 mm) and inch (0.0001 inch
// = 0.00254 mm) programs and half of each (a lathe's diameters) exactly. The
// interpreter rounds every position to it, so that a million G91 X0.001 steps
// add up exactly; a double keeps that grid exact far beyond ±100 m. Doubles
// rather than fixed-point integers, because every reader of the path wants
// millimetres and the size per move is the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quelvo {

enum class MoveKind : uint8_t {
  Rapid,    // G00
  Feed,     // G01, and the feed parts of a drilling cycle other than the cut
  ArcCw,    // G02
  ArcCcw,   // G03
  Drill,    // the cut of a drilling cycle, from the R plane to the bottom
  Home,     // G28/G30: to the intermediate point; the return to the reference point is not followed
  Machine,  // G53: marked where it was commanded; machine coordinates are not followed
};

enum class ArcPlane : uint8_t { XY, ZX, YZ };  // G17, G18, G19

struct Point3 {
  double x = 0, y = 0, z = 0;
};

constexpr double kPathResolution = 0.00001;  // mm
// `mm` on the path's grid.
double OnPathGrid(double mm);
Point3 OnPathGrid(const Point3& p);

struct ArcCentre {
  double x = 0, y = 0, z = 0;
  uint32_t move = 0;  // index of the arc's move
  ArcPlane plane = ArcPlane::XY;
};

// From move `move` on, cutting moves run at `feed` mm/min (0: unknown, e.g.
// a feed per revolution).
struct FeedChange {
  uint32_t move = 0;
  float feed = 0;
};

// Something the interpreter could not interpret, or an item it reports
// without executing (subprogram calls, macros); `line` is 1-based.
struct PathNote {
  int32_t line = 0;
  std::string text;
};

struct ToolPath {
  Point3 start;
  std::vector<double> x, y, z;  // end points, millimetres
  std::vector<int32_t> line;   // 1-based source line of each move
  std::vector<MoveKind> kind;
  std::vector<ArcCentre> arcs;  // in move order
  std::vector<FeedChange> feeds;  // in move order; before the first, no feed
  std::vector<PathNote> problems;
  std::vector<PathNote> hints;  // e.g. the first number whose meaning depends on the input convention
  size_t problemsLeftOff = 0;   // problems beyond the list's limit, counted only
  bool cancelled = false;

  size_t size() const { return kind.size(); }
  Point3 End(size_t i) const { return {x[i], y[i], z[i]}; }
  Point3 Start(size_t i) const { return i == 0 ? start : End(i - 1); }
  bool IsArc(size_t i) const { return kind[i] == MoveKind::ArcCw || kind[i] == MoveKind::ArcCcw; }
  // The centre of arc move `i` (binary search in `arcs`); nullptr for other moves.
  const ArcCentre* ArcOf(size_t i) const;
  // The first move of source line `line`, or -1 when the line has none.
  long FirstMoveOfLine(int32_t line) const;
  // Bytes held by the path's arrays (what a 4-million-move path costs).
  size_t MemoryBytes() const;
};

}  // namespace quelvo
