#pragma once
// The interpreted path of an NC program, kept compact for programs of millions
// of moves: one entry per move in flat arrays (end point as float millimetres,
// source line, kind: 17 bytes a move), arcs' centres and the feed rate's
// changes in side tables. A move starts where the
// one before it ends; the first starts at `start`.
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

struct ArcCentre {
  uint32_t move = 0;  // index of the arc's move
  float x = 0, y = 0, z = 0;
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
  std::vector<float> x, y, z;  // end points, millimetres
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
