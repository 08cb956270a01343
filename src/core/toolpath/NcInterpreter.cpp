// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/toolpath/NcInterpreter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

#include "core/toolpath/ArcGeometry.h"
#include "core/toolpath/NcBlock.h"

namespace quelvo {

namespace {

constexpr double kInch = 25.4;
constexpr size_t kProgressLines = 65536;
// More holes than this from one block is a mistyped K (or L), not a program.
constexpr long kMaxRepeats = 9999;
// Moves of one program when the options name no limit: a genuine program
// needs a few bytes a move, so one move a byte plus a million is only passed
// by repeats (300 lines of K9999 are 9 million moves from 10 KB); the
// ceiling bounds the memory (about 29 bytes a move) of a huge text.
constexpr size_t kMovesBeyondBytes = 1000000;
constexpr size_t kMaxMoves = 40000000;

std::string GText(int code10) {
  char buf[16];
  if (code10 % 10 == 0) std::snprintf(buf, sizeof buf, "G%02d", code10 / 10);
  else std::snprintf(buf, sizeof buf, "G%02d.%d", code10 / 10, code10 % 10);
  return buf;
}

// A word's number as a control's display shows it ("K-2", "F2.5").
std::string WordText(const NcWord& word) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%c%.10g", word.letter, word.value);
  return buf;
}

std::string Mm(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", v);
  return buf;
}

// The words of one block, at most one of each letter but G and M.
struct BlockWords {
  std::array<const NcWord*, 26> word{};
  std::vector<int> g;  // G codes times ten (G54.1 = 541)
  std::vector<int> m;
  const NcWord* Get(char letter) const { return word[static_cast<size_t>(letter - 'A')]; }
  bool Has(char letter) const { return Get(letter) != nullptr; }
};

class Interpreter {
 public:
  Interpreter(const InterpretOptions& options, size_t moveLimit, ToolPath& path)
      : opt_(options), path_(path), moveLimit_(moveLimit) {
    plane_ = options.lathe ? ArcPlane::ZX : ArcPlane::XY;
    feedPerRev_ = options.lathe;
  }

  // Returns false when the program ends (M02, M30) or the path is full.
  bool Block(const NcBlock& block, int32_t line);

 private:
  void Problem(int32_t line, std::string text);
  void HintOnce(bool& given, int32_t line, std::string text);
  bool Collect(const NcBlock& block, int32_t line, BlockWords& w);
  bool GCodes(const BlockWords& w, int32_t line, int& nonModal);
  double Length(const NcWord& word, int32_t line);
  std::optional<double> Axis(const BlockWords& w, char letter, int32_t line);
  Point3 Target(const BlockWords& w, int32_t line, bool& any);
  void Emit(MoveKind kind, const Point3& to, int32_t line);
  void Arc(const BlockWords& w, const Point3& to, int32_t line);
  void CheckFeed(int32_t line);
  void Cycle(const BlockWords& w, int32_t line);

  const InterpretOptions& opt_;
  ToolPath& path_;
  const size_t moveLimit_;
  bool full_ = false;  // the move limit was reached: nothing more is added
  Point3 pos_;
  int motion_ = 0;  // 0..3
  int cycle_ = 0;   // 73, 74, 76, 81..89; 0: none
  ArcPlane plane_ = ArcPlane::XY;
  bool incremental_ = false;
  bool inch_ = false;
  bool returnToInitial_ = true;  // G98
  bool feedPerRev_ = false;  // G95 (G99 on a lathe, where it is the default)
  double feed_ = 0;  // mm/min (or mm/rev)
  double initialZ_ = 0;
  std::optional<double> cycleR_, cycleZ_;  // as written (in mm), absolute or incremental
  bool feedMissingTold_ = false;
  bool feedZeroGiven_ = false;  // F0 was programmed (rather than no F at all)
  bool startSet_ = false;       // G92 (G50 on a lathe) set the position before the first move
  bool openCommentHint_ = false;
  bool incrementHint_ = false, extraAxisHint_ = false, perRevHint_ = false, compHint_ = false;
};

// Texts quote the program (a word, a character): its control bytes are
// escaped so that no list or terminal acts on them.
void Interpreter::Problem(int32_t line, std::string text) {
  if (path_.problems.size() < opt_.problemLimit) path_.problems.push_back({line, EscapeControlBytes(text)});
  else ++path_.problemsLeftOff;
}

void Interpreter::HintOnce(bool& given, int32_t line, std::string text) {
  if (given) return;
  given = true;
  path_.hints.push_back({line, EscapeControlBytes(text)});
}

double Interpreter::Length(const NcWord& word, int32_t line) {
  double v = word.value;
  if (!word.hasPoint) {
    if (word.value != 0) {
      char buf[160];
      const char* unit = inch_ ? "inch" : "mm";
      if (opt_.wholeUnits)
        std::snprintf(buf, sizeof buf, "%c%g: 小数点のない数値を %s 単位で読んでいます(電卓式入力)", word.letter,
                      word.value, unit);
      else
        std::snprintf(buf, sizeof buf, "%c%g: 小数点のない数値を最小設定単位(%s %s)で読んでいます", word.letter,
                      word.value, inch_ ? "0.0001" : "0.001", unit);
      HintOnce(incrementHint_, line, buf);
    }
    if (!opt_.wholeUnits) v *= inch_ ? 0.0001 : 0.001;
  }
  return inch_ ? v * kInch : v;
}

std::optional<double> Interpreter::Axis(const BlockWords& w, char letter, int32_t line) {
  const NcWord* word = w.Get(letter);
  if (!word) return std::nullopt;
  return Length(*word, line);
}

bool Interpreter::Collect(const NcBlock& block, int32_t line, BlockWords& w) {
  for (const NcWord& word : block.words) {
    if (word.letter == 'G') {
      w.g.push_back(static_cast<int>(std::lround(word.value * 10)));
    } else if (word.letter == 'M') {
      w.m.push_back(static_cast<int>(std::lround(word.value)));
    } else {
      const NcWord*& slot = w.word[static_cast<size_t>(word.letter - 'A')];
      if (slot) {
        Problem(line, std::string("同じブロックに ") + word.letter + " が二つあります");
        return false;
      }
      slot = &word;
    }
  }
  return true;
}

// Applies the block's G codes to the modal state. `nonModal` receives the
// block's one-shot code that takes the axis words (G04, G10, G28, G30, G53,
// G92, G50 on a lathe), or 0. False when the block cannot be followed.
bool Interpreter::GCodes(const BlockWords& w, int32_t line, int& nonModal) {
  nonModal = 0;
  for (int g : w.g) {
    switch (g) {
      case 0: case 10: case 20: case 30:
        motion_ = g / 10;
        cycle_ = 0;
        break;
      case 330:  // thread cutting on a lathe: drawn as a feed move
        if (!opt_.lathe) { Problem(line, "不明なGコード " + GText(g)); return false; }
        motion_ = 1;
        cycle_ = 0;
        break;
      case 170: plane_ = ArcPlane::XY; break;
      case 180: plane_ = ArcPlane::ZX; break;
      case 190: plane_ = ArcPlane::YZ; break;
      case 200: inch_ = true; break;
      case 210: inch_ = false; break;
      case 40: case 100: case 280: case 300: case 530: case 920:
        nonModal = g;
        break;
      case 400: case 430: case 440: case 490: case 540: case 541: case 550: case 560: case 570:
      case 580: case 590: case 610: case 640: case 960: case 970: case 150: case 690: case 670:
        break;
      case 410: case 420:
        HintOnce(compHint_, line, GText(g) + ": 工具径補正は描画に反映していません(プログラム経路を表示)");
        break;
      case 800: cycle_ = 0; break;
      case 940: feedPerRev_ = false; break;
      case 950: feedPerRev_ = true; break;
      case 650: case 660:
        Problem(line, "マクロ呼び出し " + GText(g) + " は実行しません");
        return false;
      default:
        if (opt_.lathe) {
          if (g == 500) { nonModal = 920; break; }
          if (g == 980) { feedPerRev_ = false; break; }
          if (g == 990) { feedPerRev_ = true; break; }
          if ((g >= 700 && g <= 760) || g == 900 || g == 920 || g == 940) {
            Problem(line, "旋盤の固定サイクル " + GText(g) + " は解釈しません");
            return false;
          }
          if (g == 910) break;  // not a distance mode on a lathe; nothing to follow
        } else {
          if (g == 900 || g == 910) { incremental_ = g == 910; break; }
          if (g == 980 || g == 990) { returnToInitial_ = g == 980; break; }
          if (g == 500) break;  // scaling cancel
          if (g == 730 || g == 740 || g == 760 || (g >= 810 && g <= 890 && g % 10 == 0)) {
            if (cycle_ == 0) initialZ_ = pos_.z;
            cycle_ = g / 10;
            break;
          }
        }
        Problem(line, "不明なGコード " + GText(g));
        return false;
    }
  }
  return true;
}

Point3 Interpreter::Target(const BlockWords& w, int32_t line, bool& any) {
  Point3 t = pos_;
  any = false;
  auto apply = [&](char letter, double& axis, bool relative, double scale) {
    if (auto v = Axis(w, letter, line)) {
      axis = relative ? axis + *v * scale : *v * scale;
      any = true;
    }
  };
  if (opt_.lathe) {
    apply('X', t.x, false, 0.5);  // diameter
    apply('U', t.x, true, 0.5);
    apply('Y', t.y, false, 1);
    apply('V', t.y, true, 1);
    apply('Z', t.z, false, 1);
    apply('W', t.z, true, 1);
  } else {
    apply('X', t.x, incremental_, 1);
    apply('Y', t.y, incremental_, 1);
    apply('Z', t.z, incremental_, 1);
  }
  for (char extra : opt_.lathe ? std::string("ABC") : std::string("ABCUVW"))
    if (w.Has(extra))
      HintOnce(extraAxisHint_, line, std::string(1, extra) + " など X Y Z 以外の軸は描画していません");
  return OnPathGrid(t);
}

void Interpreter::Emit(MoveKind kind, const Point3& target, int32_t line) {
  if (full_) return;
  if (path_.size() >= moveLimit_) {
    full_ = true;
    Problem(line, "移動の数が多すぎます (" + std::to_string(moveLimit_) + " まで): ここから先は解釈しません");
    return;
  }
  const Point3 to = OnPathGrid(target);
  // On a lathe the tool's place before the first move is not known (the
  // turret stands somewhere away from the part): unless G50 set it, the path
  // starts at the first programmed point rather than on the spindle's axis.
  if (opt_.lathe && path_.size() == 0 && !startSet_) path_.start = to;
  const float feed = feedPerRev_ ? 0.0f : static_cast<float>(feed_);
  if (path_.feeds.empty() ? feed != 0 : path_.feeds.back().feed != feed)
    path_.feeds.push_back({static_cast<uint32_t>(path_.size()), feed});
  path_.x.push_back(to.x);
  path_.y.push_back(to.y);
  path_.z.push_back(to.z);
  path_.line.push_back(line);
  path_.kind.push_back(kind);
  pos_ = to;
}

void Interpreter::CheckFeed(int32_t line) {
  if (feed_ > 0) return;
  if (!feedMissingTold_)
    Problem(line, feedZeroGiven_ ? "送り速度が F0 のまま切削送りしています" : "送り速度 F がないまま切削送りしています");
  feedMissingTold_ = true;
}

void Interpreter::Arc(const BlockWords& w, const Point3& to, int32_t line) {
  const bool cw = motion_ == 2;
  const Point3 from = pos_;
  std::optional<Point3> centre;
  if (auto r = Axis(w, 'R', line)) {
    centre = CentreFromRadius(from, to, *r, cw, plane_, opt_.arcTolerance);
    if (!centre) {
      const PlanePoint s = ToPlane(from, plane_), e = ToPlane(to, plane_);
      Problem(line, std::hypot(e.u - s.u, e.v - s.v) < 1e-9
                        ? std::string("R 指令の円弧は始点と終点が同じです(全円は I J K で指令します)")
                        : "円弧の終点が半径 R" + Mm(std::fabs(*r)) + " の円上にありません");
    }
  } else {
    // I J K: the centre relative to the start, in the axes of the plane.
    const char letters[3][2] = {{'I', 'J'}, {'K', 'I'}, {'J', 'K'}};
    const char* pair = letters[static_cast<int>(plane_)];
    auto a = Axis(w, pair[0], line), b = Axis(w, pair[1], line);
    if (!a && !b) {
      Problem(line, "円弧の半径 R または中心 I J K がありません");
    } else {
      PlanePoint c = ToPlane(from, plane_);
      c.u += a.value_or(0);
      c.v += b.value_or(0);
      centre = FromPlane(c, plane_);
      const PlanePoint e = ToPlane(to, plane_);
      const double rs = std::hypot(a.value_or(0), b.value_or(0));
      const double re = std::hypot(e.u - c.u, e.v - c.v);
      if (rs < kPathResolution) {
        // "G02 I0 J0": a full circle of no size, which a control refuses.
        Problem(line, "円弧の中心 I J K が始点と同じです(半径 0)");
        centre.reset();
      } else if (std::fabs(rs - re) > opt_.arcTolerance) {
        Problem(line, "円弧の終点が半径上にありません(始点の半径 " + Mm(rs) + "、終点の半径 " + Mm(re) + ")");
      }
    }
  }
  CheckFeed(line);
  if (!centre) {  // drawn straight so that the path stays continuous; the problem says why
    Emit(MoveKind::Feed, to, line);
    return;
  }
  if (full_ || path_.size() >= moveLimit_) {
    Emit(MoveKind::Feed, to, line);  // says that the path is full
    return;
  }
  // The centre as computed: from R it is off the grid anyway, and nothing adds up from it.
  const Point3 at = centre.value_or(Point3{});
  path_.arcs.push_back({at.x, at.y, at.z, static_cast<uint32_t>(path_.size()), plane_});
  Emit(cw ? MoveKind::ArcCw : MoveKind::ArcCcw, to, line);
}

void Interpreter::Cycle(const BlockWords& w, int32_t line) {
  if (auto r = Axis(w, 'R', line)) cycleR_ = *r;
  if (auto z = Axis(w, 'Z', line)) cycleZ_ = *z;
  if (!w.Has('X') && !w.Has('Y') && !w.Has('Z') && !w.Has('R')) return;
  if (plane_ != ArcPlane::XY) {
    Problem(line, "G17 以外の平面の穴あけサイクルは解釈しません");
    return;
  }
  if (!cycleR_ || !cycleZ_) {
    Problem(line, "穴あけサイクルに R 点または Z 点がありません");
    return;
  }
  long repeats = 1;
  if (const NcWord* k = w.Get('K') ? w.Get('K') : w.Get('L')) {
    // K0 keeps the cycle's data and drills nothing, as on the controls.
    if (k->value < 0) {
      Problem(line, "繰り返し回数 " + WordText(*k) + " は負の数です");
      return;
    }
    if (k->value != std::floor(k->value)) {
      Problem(line, "繰り返し回数 " + WordText(*k) + " は整数ではありません");
      return;
    }
    repeats = static_cast<long>(std::min(k->value, 1e15));
  }
  if (repeats > kMaxRepeats) {
    Problem(line, "繰り返し回数 " + std::to_string(repeats) + " は多すぎます (" + std::to_string(kMaxRepeats) + " まで)");
    return;
  }
  // Levels on the path's grid, so that "already there" compares exactly.
  const double rLevel = OnPathGrid(incremental_ ? initialZ_ + *cycleR_ : *cycleR_);
  const double bottom = OnPathGrid(incremental_ ? rLevel + *cycleZ_ : *cycleZ_);
  const bool feedOut = cycle_ == 74 || cycle_ == 84 || cycle_ == 85 || cycle_ == 89;
  CheckFeed(line);
  for (long i = 0; i < repeats && !full_; ++i) {
    Point3 hole = pos_;
    if (auto x = Axis(w, 'X', line)) hole.x = OnPathGrid(incremental_ ? pos_.x + *x : *x);
    if (auto y = Axis(w, 'Y', line)) hole.y = OnPathGrid(incremental_ ? pos_.y + *y : *y);
    if (hole.x != pos_.x || hole.y != pos_.y) Emit(MoveKind::Rapid, hole, line);
    if (pos_.z != rLevel) Emit(MoveKind::Rapid, {hole.x, hole.y, rLevel}, line);
    Emit(MoveKind::Drill, {hole.x, hole.y, bottom}, line);
    if (feedOut) Emit(MoveKind::Feed, {hole.x, hole.y, rLevel}, line);
    const double top = returnToInitial_ ? initialZ_ : rLevel;
    if (pos_.z != top) Emit(MoveKind::Rapid, {hole.x, hole.y, top}, line);
  }
}

bool Interpreter::Block(const NcBlock& block, int32_t line) {
  if (block.percent || block.programNumber) return true;
  if (block.deleted && opt_.skipDeletedBlocks) return true;
  if (block.macro) {
    Problem(line, "マクロ文は実行しません");
    return true;
  }
  if (!block.error.empty()) {
    Problem(line, block.error);
    return true;
  }
  if (block.openComment)
    HintOnce(openCommentHint_, line, "( で始まるコメントが閉じていません (行末までをコメントとして読んでいます)");
  BlockWords w;
  if (!Collect(block, line, w)) return true;
  bool ends = false;
  for (int m : w.m) {
    if (m == 98) Problem(line, "サブプログラム呼び出し M98 は実行しません");
    else if (m == 99) Problem(line, "M99 (サブプログラムの終わり/戻り) は実行しません");
    else if (m == 2 || m == 30) ends = true;
  }
  const NcWord* f = w.Get('F');
  if (f && f->value < 0) {
    Problem(line, "送り速度 " + WordText(*f) + " は負の数です");
    return !ends;
  }
  int nonModal = 0;
  if (!GCodes(w, line, nonModal)) return !ends;
  if (f) {
    feed_ = inch_ ? f->value * kInch : f->value;
    feedZeroGiven_ = f->value == 0;
    feedMissingTold_ = false;
  }
  if (feedPerRev_ && feed_ > 0)
    HintOnce(perRevHint_, line, "回転当たり送りの区間は加工時間に含めていません");
  bool any = false;
  if (nonModal == 280 || nonModal == 300) {
    const Point3 to = Target(w, line, any);
    // "G28 U0 W0" before a lathe's first move goes by way of a place not known.
    const bool unknown = opt_.lathe && path_.size() == 0 && !startSet_ && !w.Has('X') && !w.Has('Y') && !w.Has('Z');
    if (any && !unknown) Emit(MoveKind::Home, to, line);
  } else if (nonModal == 530) {
    Emit(MoveKind::Machine, pos_, line);
  } else if (nonModal == 920) {
    // Sets the present position; the tool does not move.
    const bool wasIncremental = incremental_;
    incremental_ = false;
    pos_ = Target(w, line, any);
    incremental_ = wasIncremental;
    if (path_.size() == 0 && any) {  // "G50 S2000" limits the spindle speed and sets nothing
      path_.start = pos_;
      startSet_ = true;
    }
  } else if (nonModal == 0) {
    if (cycle_ != 0) {
      Cycle(w, line);
    } else {
      const Point3 to = Target(w, line, any);
      const bool arcWords = w.Has('I') || w.Has('J') || w.Has('K') || w.Has('R');
      if (motion_ >= 2 && (any || arcWords)) {
        Arc(w, to, line);
      } else if (any) {
        if (motion_ == 1) CheckFeed(line);
        Emit(motion_ == 0 ? MoveKind::Rapid : MoveKind::Feed, to, line);
      }
    }
  }
  return !ends && !full_;
}

}  // namespace

ToolPath Interpret(std::string_view text, int32_t firstLine, const InterpretOptions& options,
                   const InterpretProgress& progress) {
  ToolPath path;
  const size_t guess = text.size() / 24;  // a typical move line is 20 to 30 bytes
  path.x.reserve(guess);
  path.y.reserve(guess);
  path.z.reserve(guess);
  path.line.reserve(guess);
  path.kind.reserve(guess);
  const size_t moveLimit =
      options.moveLimit > 0 ? options.moveLimit : std::min(kMaxMoves, kMovesBeyondBytes + text.size());
  Interpreter interpreter(options, moveLimit, path);
  NcBlock block;
  int32_t line = firstLine;
  size_t at = 0, lines = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    ParseBlock(text.substr(at, end - at), block);
    if (!interpreter.Block(block, line)) break;
    at = end + 1;
    ++line;
    if (++lines % kProgressLines == 0 && progress &&
        !progress(static_cast<double>(at) / static_cast<double>(text.size()))) {
      path.cancelled = true;
      break;
    }
  }
  for (auto* v : {&path.x, &path.y, &path.z}) v->shrink_to_fit();
  path.line.shrink_to_fit();
  path.kind.shrink_to_fit();
  return path;
}

}  // namespace quelvo
