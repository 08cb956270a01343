// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/toolpath/RestartPreamble.h"

#include <cmath>
#include <cstdio>

namespace quelvo {

namespace {

void Add(std::string& line, const std::string& word) {
  if (word.empty()) return;
  if (!line.empty()) line += ' ';
  line += word;
}

void AddWord(std::string& line, const ModalWord& w) {
  if (w.set) Add(line, w.text);
}

}  // namespace

std::string ProgramNumber(double value, bool inch) {
  char buf[40];
  std::snprintf(buf, sizeof buf, inch ? "%.4f" : "%.3f", value);
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (s == "-.") s = ".";
  if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
  if (s == ".") s = "0.";
  return s;
}

std::vector<std::string> ComposePreamble(const PreambleInput& in, std::vector<RestartNote>& notes) {
  const ModalState& st = *in.state;
  const ModalHistory& h = *in.history;
  std::vector<std::string> out;
  auto num = [&](double v) { return ProgramNumber(v, in.inch); };

  if (in.percent) out.push_back("%");
  if (h.programLine != 0) out.push_back(h.programText);
  out.push_back("(RESTART L" + std::to_string(in.line) + ")");

  // The modal words; G90 always on a mill, since the approach is absolute.
  std::string modal;
  AddWord(modal, st.units);
  AddWord(modal, st.plane);
  if (!in.lathe) Add(modal, "G90");
  AddWord(modal, st.feedMode);
  if (st.comp.set) Add(modal, "G40");  // compensation in force is refused, so it is off
  if (st.cycle.set) Add(modal, "G80");
  if (st.lengthOffset.Is(490)) Add(modal, "G49");
  AddWord(modal, st.workOffset);
  if (st.workOffset.set) AddWord(modal, st.offsetP);
  AddWord(modal, st.feed);
  if (!modal.empty()) out.push_back(modal);

  // The tool as the program called it, and one called up for the next change.
  if (st.tool.set) out.push_back(st.tool.text + (st.toolChange && !in.lathe ? " M06" : ""));
  if (st.nextTool.set) out.push_back(st.nextTool.text);

  // The spindle: its clamp first, so that constant surface speed never runs above it.
  if (st.clamp.set) out.push_back((in.lathe ? "G50 " : "G92 ") + st.clamp.text);
  std::string spindle;
  AddWord(spindle, st.spindleMode);
  AddWord(spindle, st.speed);
  AddWord(spindle, st.spindle);
  if (!spindle.empty()) out.push_back(spindle);
  if (st.mist) out.push_back("M07");
  if (st.flood) out.push_back("M08");
  if (st.coolantWritten && !st.mist && !st.flood) out.push_back("M09");

  // The approach; without a feed in force it borrows the block's own.
  const std::string approachFeed = !st.feed.set && !in.blockFeed.empty() ? " " + in.blockFeed : "";
  int lastMotion = -1;
  bool feedMove = false;
  if (!in.lathe) {
    // Up to the clearance, unless where Z stands is not known and no
    // clearance was given: the tool is then left at its height (after a
    // return to the reference point, the top).
    if (in.known[2] || in.clearanceGiven) {
      std::string up = "G00";
      if (st.lengthOffset.Is(430) || st.lengthOffset.Is(440)) Add(up, st.lengthOffset.text);
      Add(up, "Z" + num(in.clearance));
      if (st.lengthOffset.Is(430) || st.lengthOffset.Is(440)) AddWord(up, st.lengthH);
      out.push_back(up);
      lastMotion = 0;
    }
    std::string across = "G00";
    if (lastMotion != 0 && (in.known[0] || in.known[1])) lastMotion = 0;
    if (in.known[0]) Add(across, "X" + num(in.start.x));
    if (in.known[1]) Add(across, "Y" + num(in.start.y));
    if (across.size() > 3) out.push_back(across);
    if (in.known[2] && num(in.start.z) != num(in.clearance)) {
      if (in.start.z > in.clearance)
        notes.push_back({false, in.line,
                         "安全高さ Z" + num(in.clearance) + " が再開位置の Z" + num(in.start.z) + " より低くなっています",
                         0});
      out.push_back("G01 Z" + num(in.start.z) + approachFeed);
      lastMotion = 10;
      feedMove = true;
    }
  } else {
    if (in.known[0] || in.clearanceGiven) {
      out.push_back("G00 X" + num(in.clearance));
      lastMotion = 0;
    }
    if (in.known[2]) {
      out.push_back("G00 Z" + num(in.start.z));
      lastMotion = 0;
    }
    if (in.known[0] && num(in.start.x) != num(in.clearance)) {
      if (in.start.x > in.clearance)
        notes.push_back({false, in.line,
                         "逃げ位置 X" + num(in.clearance) + " が再開位置の X" + num(in.start.x) + " より内側です", 0});
      out.push_back("G01 X" + num(in.start.x) + approachFeed);
      lastMotion = 10;
      feedMove = true;
    }
  }
  if (feedMove && !st.feed.set && in.blockFeed.empty())
    notes.push_back({false, in.line, "送り速度 F が指令されていないため、アプローチの切削送りに F がありません", 0});

  // Put back what the approach changed.
  std::string back;
  if (!in.lathe && st.distance.Is(910)) Add(back, st.distance.text);
  const int motion = st.motion.set ? static_cast<int>(std::lround(st.motion.value)) : 0;
  if (motion != lastMotion) Add(back, st.motion.set ? st.motion.text : "G00");
  if (!back.empty()) out.push_back(back);
  return out;
}

}  // namespace quelvo
