// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/toolpath/ModalState.h"

#include <cmath>
#include <cstdio>

namespace quelvo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

void SetWord(ModalWord& w, double value, std::string text) {
  w.set = true;
  w.value = value;
  w.text = std::move(text);
}

}  // namespace

bool ModalState::operator==(const ModalState& o) const {
  return units == o.units && plane == o.plane && distance == o.distance && workOffset == o.workOffset &&
         offsetP == o.offsetP && feedMode == o.feedMode && spindleMode == o.spindleMode && clamp == o.clamp &&
         lengthOffset == o.lengthOffset && lengthH == o.lengthH && comp == o.comp && cycle == o.cycle &&
         motion == o.motion && tool == o.tool && nextTool == o.nextTool && speed == o.speed &&
         spindle == o.spindle && mist == o.mist && flood == o.flood && feed == o.feed;
}

std::string GCodeText(int code10) {
  char buf[16];
  if (code10 % 10 == 0) std::snprintf(buf, sizeof buf, "G%02d", code10 / 10);
  else std::snprintf(buf, sizeof buf, "G%02d.%d", code10 / 10, code10 % 10);
  return buf;
}

void WordTexts(std::string_view s, std::vector<std::string_view>& texts) {
  texts.clear();
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  if (i < s.size() && s[i] == '/') ++i;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '(') {
      const size_t close = s.find(')', i);
      if (close == std::string_view::npos) break;
      i = close + 1;
    } else if (c == ';') {
      break;
    } else if (IsLetter(c)) {
      const size_t begin = i++;
      if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
      bool digit = false, point = false;
      for (; i < s.size(); ++i) {
        if (IsDigit(s[i])) digit = true;
        else if (s[i] == '.' && !point) point = true;
        else break;
      }
      if (digit) texts.push_back(s.substr(begin, i - begin));
    } else {
      ++i;
    }
  }
}

void ModalTracker::Reset() {
  state_ = ModalState{};
  history_ = ModalHistory{};
}

void ModalTracker::Block(const NcBlock& block, std::string_view text, int32_t line) {
  if (block.percent) return;
  if (block.programNumber) {
    Reset();
    history_.programLine = line;
    history_.programText = std::string(text);
    while (!history_.programText.empty() && IsBlank(history_.programText.back())) history_.programText.pop_back();
    return;
  }
  if (block.macro) {
    history_.lastCallLine = line;
    return;
  }
  if (!block.error.empty()) return;  // the interpreter reports it; a restart refuses before it

  // Words are kept as written only for the letters whose text the preamble
  // repeats; most blocks of a long program have none of them.
  std::vector<std::string_view>& texts = texts_;
  texts.clear();
  for (const NcWord& w : block.words) {
    if (w.letter == 'T' || w.letter == 'S' || w.letter == 'F' || w.letter == 'H' || w.letter == 'D' ||
        w.letter == 'P') {
      WordTexts(text, texts);
      if (texts.size() != block.words.size()) texts.clear();
      break;
    }
  }
  auto textOf = [&](size_t i) {
    if (i < texts.size()) return std::string(texts[i]);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%c%g", block.words[i].letter, block.words[i].value);
    return std::string(buf);
  };

  // First the block's G codes and the words that go with them.
  int nonModal = 0;
  bool cycleCode = false, motionCode = false;
  const NcWord* p = nullptr;
  const NcWord* d = nullptr;
  for (const NcWord& w : block.words) {
    if (w.letter == 'P') p = &w;
    if (w.letter == 'D') d = &w;
  }
  bool clampBlock = false;
  for (const NcWord& w : block.words) {
    if (w.letter != 'G') continue;
    const int g = static_cast<int>(std::lround(w.value * 10));
    const std::string gt = GCodeText(g);
    switch (g) {
      case 0: case 10: case 20: case 30:
        SetWord(state_.motion, g, gt);
        motionCode = true;
        break;
      case 330:
        if (lathe_) { SetWord(state_.motion, g, gt); motionCode = true; }
        break;
      case 170: case 180: case 190: SetWord(state_.plane, g, gt); break;
      case 200: case 210: SetWord(state_.units, g, gt); break;
      case 280: case 300: case 530: nonModal = g; break;
      case 920:
        if (lathe_) break;  // a turning cycle there
        nonModal = g;
        break;
      case 500:
        if (lathe_) nonModal = 920;
        break;
      case 400: case 410: case 420:
        if (g != 400 && !state_.comp.Is(g)) history_.compOnLine = line;
        SetWord(state_.comp, g, gt);
        if (g != 400 && d) state_.comp.text += " " + textOf(static_cast<size_t>(d - block.words.data()));
        break;
      case 430: case 440: case 490:
        SetWord(state_.lengthOffset, g, gt);
        if (g == 490) state_.lengthH = ModalWord{};
        break;
      case 540: case 550: case 560: case 570: case 580: case 590: case 541: case 591: case 592: case 593:
      case 594: case 595: case 596: case 597: case 598: case 599:
        SetWord(state_.workOffset, g, gt);
        state_.offsetP = ModalWord{};
        if (p) SetWord(state_.offsetP, p->value, textOf(static_cast<size_t>(p - block.words.data())));
        break;
      case 940: case 950: SetWord(state_.feedMode, g, gt); break;
      case 960: case 970: SetWord(state_.spindleMode, g, gt); break;
      case 650: history_.lastCallLine = line; break;
      case 660: history_.modalMacroLine = line; history_.lastCallLine = line; break;
      case 670: history_.modalMacroLine = 0; break;
      case 800: SetWord(state_.cycle, g, gt); history_.cycleLine = 0; break;
      default:
        if (lathe_) {
          if (g == 980 || g == 990) SetWord(state_.feedMode, g, gt);
        } else {
          if (g == 900 || g == 910) SetWord(state_.distance, g, gt);
          if (g == 730 || g == 740 || g == 760 || (g >= 810 && g <= 890 && g % 10 == 0)) {
            if (!state_.cycle.set || state_.cycle.Is(800)) history_.cycleLine = line;
            SetWord(state_.cycle, g, gt);
            cycleCode = true;
          }
        }
        break;
    }
  }
  // A motion code ends a canned cycle, as G80 does.
  if (motionCode && !cycleCode && state_.cycle.set && !state_.cycle.Is(800)) {
    SetWord(state_.cycle, 800, "G80");
    history_.cycleLine = 0;
  }
  if (nonModal == 920) {
    for (const NcWord& w : block.words)
      if (w.letter == 'S') clampBlock = true;
  }

  // Then the other words.
  bool m06 = false;
  // Per axis: 0 not named, 1 named absolutely, 2 named incrementally.
  int axisWord[3] = {0, 0, 0};
  const bool incremental = !lathe_ && state_.distance.Is(910);
  for (size_t i = 0; i < block.words.size(); ++i) {
    const NcWord& w = block.words[i];
    switch (w.letter) {
      case 'T':
        if (lathe_) SetWord(state_.tool, w.value, textOf(i));
        else SetWord(state_.nextTool, w.value, textOf(i));
        break;
      case 'S':
        if (clampBlock) SetWord(state_.clamp, w.value, textOf(i));
        else SetWord(state_.speed, w.value, textOf(i));
        break;
      case 'F': SetWord(state_.feed, w.value, textOf(i)); break;
      case 'H':
        if (state_.lengthOffset.Is(430) || state_.lengthOffset.Is(440)) SetWord(state_.lengthH, w.value, textOf(i));
        break;
      case 'M': {
        const long m = std::lround(w.value);
        if (m == 6) m06 = true;
        else if (m == 3 || m == 4 || m == 5) SetWord(state_.spindle, static_cast<double>(m), m == 3 ? "M03" : m == 4 ? "M04" : "M05");
        else if (m == 7) { state_.mist = true; state_.coolantWritten = true; }
        else if (m == 8) { state_.flood = true; state_.coolantWritten = true; }
        else if (m == 9) { state_.mist = state_.flood = false; state_.coolantWritten = true; }
        else if (m == 0 || m == 1) {
          history_.lastStopLine = line;
          history_.lastStopText = std::string(text);
          while (!history_.lastStopText.empty() && IsBlank(history_.lastStopText.back()))
            history_.lastStopText.pop_back();
        } else if (m == 98) {
          history_.lastCallLine = line;
        } else if (m == 99) {
          history_.subprogram = true;
        }
        break;
      }
      case 'X': case 'Y': case 'Z':
        axisWord[w.letter - 'X'] = incremental ? 2 : 1;
        break;
      case 'U': case 'V': case 'W':
        if (lathe_) axisWord[w.letter - 'U'] = 2;
        break;
      default:
        break;
    }
  }
  if (m06 && !lathe_) {
    state_.toolChange = true;
    if (state_.nextTool.set) {
      state_.tool = state_.nextTool;
      state_.nextTool = ModalWord{};
    }
  }

  // What is known of the position: an absolute word sets an axis; a return to
  // the reference point or a move in machine coordinates loses it; an
  // incremental word keeps whatever was known; a call the interpreter does not
  // follow may have moved anything.
  if (history_.lastCallLine == line) {
    for (bool& k : history_.axisKnown) k = false;
  }
  for (int a = 0; a < 3; ++a) {
    if (axisWord[a] == 0) continue;
    if (nonModal == 280 || nonModal == 300 || nonModal == 530) history_.axisKnown[a] = false;
    else if (nonModal == 920 || axisWord[a] == 1) history_.axisKnown[a] = true;
  }
  if (nonModal == 920) {
    for (int a = 0; a < 3; ++a)
      if (axisWord[a] != 0) history_.lastSetLine = line;
  }
}

}  // namespace quelvo
