// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter's end points against an independent interpreter (the npm
// package in crosscheck/, installed by scripts/install-deps) on generated
// programs: rapids, feeds, arcs with R (both signs) and with I J K, helices,
// all three planes, absolute and incremental, inch and metric. Every end point
// must agree within 0.001 mm. Skipped where node or the package is missing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/toolpath/ArcGeometry.h"
#include "core/toolpath/NcInterpreter.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

// A small deterministic generator, the same programs on every run.
class Lcg {
 public:
  explicit Lcg(uint32_t seed) : s_(seed) {}
  double Uniform(double lo, double hi) {
    s_ = s_ * 1664525u + 1013904223u;
    return lo + (hi - lo) * (s_ >> 8) / double(1u << 24);
  }
  int Pick(int n) { return static_cast<int>(Uniform(0, n)) % n; }

 private:
  uint32_t s_;
};

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  return buf;
}

// A program of `lines` moves; the generator follows the position itself so
// that arcs get end points on their circles.
std::string GenerateProgram(uint32_t seed, int lines) {
  Lcg r(seed);
  std::ostringstream out;
  out << "G21 G90 G17\n";
  Point3 pos;  // in program units
  bool inch = false, incremental = false;
  ArcPlane plane = ArcPlane::XY;
  const char* planeLetters[3][3] = {{"X", "Y", "Z"}, {"Z", "X", "Y"}, {"Y", "Z", "X"}};
  const char* centreLetters[3][2] = {{"I", "J"}, {"K", "I"}, {"J", "K"}};
  for (int n = 0; n < lines; ++n) {
    if (r.Pick(10) == 0) {
      inch = !inch;
      const double k = inch ? 1 / 25.4 : 25.4;
      pos = {pos.x * k, pos.y * k, pos.z * k};
      out << (inch ? "G20\n" : "G21\n");
    }
    if (r.Pick(8) == 0) out << ((incremental = !incremental) ? "G91\n" : "G90\n");
    if (r.Pick(8) == 0) {
      plane = static_cast<ArcPlane>(r.Pick(3));
      out << (plane == ArcPlane::XY ? "G17\n" : plane == ArcPlane::ZX ? "G18\n" : "G19\n");
    }
    const double span = inch ? 4 : 100;
    Point3 to = pos;
    std::string words;
    const int kind = r.Pick(4);
    if (kind < 2) {
      to = {r.Uniform(-span, span), r.Uniform(-span, span), r.Uniform(-span / 4, span / 4)};
      words = kind == 0 ? "G00" : "G01 F" + Num(inch ? 10 : 250);
    } else {
      // An arc: a centre near the start, an end point turned about it.
      PlanePoint s = ToPlane(pos, plane);
      const double ou = r.Uniform(-span / 5, span / 5), ov = r.Uniform(-span / 5, span / 5);
      const PlanePoint c{s.u + ou, s.v + ov, s.w};
      const double radius = std::hypot(ou, ov);
      const double a = std::atan2(s.v - c.v, s.u - c.u) + r.Uniform(0.2, 6.0);
      PlanePoint e{c.u + radius * std::cos(a), c.v + radius * std::sin(a), s.w + (r.Pick(3) == 0 ? r.Uniform(-2, 2) : 0)};
      to = FromPlane(e, plane);
      // Rounded as written, so that both interpreters start from the same numbers.
      to = {std::stod(Num(to.x)), std::stod(Num(to.y)), std::stod(Num(to.z))};
      e = ToPlane(to, plane);
      const bool cw = r.Pick(2) == 0;
      words = cw ? "G02" : "G03";
      if (r.Pick(2) == 0) {
        words += std::string(" ") + centreLetters[int(plane)][0] + Num(ou) + " " + centreLetters[int(plane)][1] + Num(ov);
      } else {
        // Sign of R from the sweep the direction gives: over 180 degrees negative.
        const double cross = (e.u - s.u) * (c.v - s.v) - (e.v - s.v) * (c.u - s.u);
        const bool centreLeft = cross < 0;
        const bool shortWay = cw ? !centreLeft : centreLeft;
        const double rr = std::hypot(e.u - s.u, e.v - s.v) / 2 + 0.5 + r.Uniform(0, span / 10);
        words += " R" + Num(shortWay ? rr : -rr);
      }
      words += " F" + Num(inch ? 8 : 200);
    }
    const PlanePoint t = ToPlane(to, plane), p = ToPlane(pos, plane);
    const double delta[3] = {t.u - p.u, t.v - p.v, t.w - p.w};
    const double absolute[3] = {t.u, t.v, t.w};
    std::string axes;
    for (int i = 0; i < 3; ++i) {
      if (kind < 2 && i > 0 && r.Pick(3) == 0) continue;  // not every axis on every line
      axes += std::string(" ") + planeLetters[int(plane)][i] + Num(incremental ? delta[i] : absolute[i]);
    }
    // A straight move leaves the axes it does not name where they were.
    PlanePoint moved = p;
    for (int i = 0; i < 3; ++i)
      if (axes.find(planeLetters[int(plane)][i]) != std::string::npos) (i == 0 ? moved.u : i == 1 ? moved.v : moved.w) = absolute[i];
    pos = FromPlane(moved, plane);
    out << words << axes << "\n";
  }
  out << "M30\n";
  return out.str();
}

std::string Source() {
  const char* s = std::getenv("QUELVO_TEST_SOURCE");
  return s ? s : "";
}

std::string RunNode(const std::string& script, const std::string& file) {
  std::string result;
  FILE* p = popen(("node '" + script + "' '" + file + "'").c_str(), "r");
  if (!p) return result;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) result.append(buf, n);
  pclose(p);
  return result;
}

TEST(CrossCheckTest, EndPointsAgreeWithAnIndependentInterpreter) {
  const std::string dir = Source() + "/tests/core/toolpath/crosscheck";
  if (Source().empty() || std::system("node --version > /dev/null 2>&1") != 0 ||
      !std::ifstream(dir + "/node_modules/gcode-toolpath/package.json"))
    GTEST_SKIP() << "node or the package in tests/core/toolpath/crosscheck is missing (scripts/install-deps)";
  test::TempFolder tmp;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("program " + std::to_string(seed));
    const std::string program = GenerateProgram(seed, 150);
    const std::string file = tmp.File("p" + std::to_string(seed) + ".nc");
    std::ofstream(file) << program;
    const ToolPath ours = Interpret(program, 1, {});
    ASSERT_TRUE(ours.problems.empty()) << ours.problems[0].line << ": " << ours.problems[0].text;
    std::istringstream theirs(RunNode(dir + "/toolpath-ends.js", file));
    size_t i = 0;
    double x, y, z;
    while (theirs >> x >> y >> z) {
      ASSERT_LT(i, ours.size());
      EXPECT_NEAR(ours.x[i], x, 0.001) << "line " << ours.line[i];
      EXPECT_NEAR(ours.y[i], y, 0.001) << "line " << ours.line[i];
      EXPECT_NEAR(ours.z[i], z, 0.001) << "line " << ours.line[i];
      ++i;
    }
    EXPECT_EQ(i, ours.size());
  }
}

}  // namespace
}  // namespace quelvo
