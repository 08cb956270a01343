// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/toolpath/RestartPlan.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>

#include "core/toolpath/ProgramSpans.h"
#include "core/toolpath/RestartPreamble.h"

namespace quelvo {

namespace {

constexpr double kInch = 25.4;

std::string L(int32_t line) { return std::to_string(line) + " 行目"; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The lines of a text one after another, with their byte ranges.
class LineReader {
 public:
  explicit LineReader(std::string_view text, size_t at = 0, int32_t line = 1) : text_(text), at_(at), line_(line) {}
  // False past the end. A text ending with a line end has an empty last line.
  bool Next(std::string_view& s, size_t& begin, int32_t& line) {
    if (at_ > text_.size()) return false;
    size_t end = text_.find('\n', at_);
    if (end == std::string_view::npos) end = text_.size();
    s = text_.substr(at_, end - at_);
    begin = at_;
    line = line_++;
    at_ = end + 1;
    return true;
  }

 private:
  std::string_view text_;
  size_t at_;
  int32_t line_;
};

bool HasWords(const NcBlock& b) { return !b.words.empty() || b.macro || !b.error.empty(); }

bool HasG(const NcBlock& b, int code10) {
  for (const NcWord& w : b.words)
    if (w.letter == 'G' && std::lround(w.value * 10) == code10) return true;
  return false;
}

bool HasM(const NcBlock& b, long m) {
  for (const NcWord& w : b.words)
    if (w.letter == 'M' && std::lround(w.value) == m) return true;
  return false;
}

// A block the interpreter lists as a problem only because it does not follow
// it: a macro statement, a subprogram or macro call.
bool IsCall(const NcBlock& b) { return b.macro || HasM(b, 98) || HasM(b, 99) || HasG(b, 650) || HasG(b, 660); }

// The refusals of a restart at `block` with the state before it.
void CheckBlock(const NcBlock& block, int32_t line, const ModalTracker& tracker, int32_t lastSafe,
                std::vector<RestartNote>& notes) {
  const ModalState& st = tracker.State();
  const ModalHistory& h = tracker.History();
  const bool lathe = tracker.Lathe();
  if (block.macro) {
    notes.push_back({true, line, "マクロ文からは再開できません", lastSafe});
    return;
  }
  bool motion = false, g91 = false, g90 = false, home = false;
  for (const NcWord& w : block.words) {
    if (w.letter != 'G') continue;
    const long g = std::lround(w.value * 10);
    if (g == 0 || g == 10 || g == 20 || g == 30) motion = true;
    if (g == 910) g91 = true;
    if (g == 900) g90 = true;
    if (g == 280 || g == 300 || g == 530 || (g == 920 && !lathe) || (g == 500 && lathe)) home = true;
  }
  if (st.cycle.set && !st.cycle.Is(800) && h.cycleLine != 0 && !HasG(block, 800) && !motion)
    notes.push_back({true, line, "固定サイクル " + st.cycle.text + " (" + L(h.cycleLine) + ") の途中のブロックです",
                     h.cycleLine});
  if ((st.comp.Is(410) || st.comp.Is(420)) && !HasG(block, 400))
    notes.push_back({true, line,
                     "工具径補正 " + st.comp.text + " (" + L(h.compOnLine) + "から) が有効です",
                     h.compOnLine});
  if (h.modalMacroLine != 0 && !HasG(block, 670))
    notes.push_back({true, line, "モーダルマクロ呼び出し G66 (" + L(h.modalMacroLine) + ") が有効です", lastSafe});
  // Incremental words move from wherever the tool is: that must be known.
  if (!home) {
    const bool incremental = lathe ? false : (g91 || (st.distance.Is(910) && !g90));
    static const char* const kAxis = "XYZ";
    for (int a = 0; a < 3; ++a) {
      bool used = false;
      for (const NcWord& w : block.words) {
        if (lathe) used |= w.letter == "UVW"[a];
        else used |= incremental && w.letter == kAxis[a];
      }
      if (used && !h.axisKnown[a]) {
        notes.push_back({true, line,
                         std::string("増分指令のブロックですが、その前の ") + kAxis[a] + " の位置が確定していません",
                         lastSafe});
        break;
      }
    }
  }
}

// True when a block of `rest` has M99: the program is a subprogram.
bool EndsAsSubprogram(std::string_view rest) {
  NcBlock block;
  for (size_t at = rest.find("M99"); at != std::string_view::npos; at = rest.find("M99", at + 3)) {
    const size_t begin = rest.rfind('\n', at) == std::string_view::npos ? 0 : rest.rfind('\n', at) + 1;
    size_t end = rest.find('\n', at);
    if (end == std::string_view::npos) end = rest.size();
    ParseBlock(rest.substr(begin, end - begin), block);
    if (HasM(block, 99)) return true;
  }
  return false;
}

// Stands for "the last block before that could be restarted at" until it is known.
constexpr int32_t kLastSafe = -1;

struct BeforeBlock {
  bool percent = false;            // the program begins with a "%" line
  std::vector<int32_t> callLines;  // rising: lines the interpreter lists only because it does not follow them
  int32_t lastSafe = 0;            // with `checkSafe`: the last block a restart would not refuse
};

// Reads the lines of `span` before `line` into `tracker`.
BeforeBlock ReadBefore(std::string_view text, const ProgramSpan& span, int32_t line, const RestartOptions& options,
                       ModalTracker& tracker, bool checkSafe) {
  BeforeBlock out;
  LineReader reader(text, span.begin, span.firstLine);
  NcBlock block;
  std::string_view s;
  size_t begin = 0;
  int32_t at = 0;
  bool seenContent = false;
  std::vector<RestartNote> scratch;
  while (reader.Next(s, begin, at) && at < line) {
    ParseBlock(s, block);
    if (!seenContent) {
      if (block.percent) out.percent = true;
      if (!Trimmed(s).empty()) seenContent = true;
    }
    if (checkSafe && HasWords(block) && block.error.empty() && !block.deleted) {
      scratch.clear();
      CheckBlock(block, at, tracker, 0, scratch);
      if (scratch.empty()) out.lastSafe = at;
    }
    if ((block.macro || !block.words.empty()) && IsCall(block)) out.callLines.push_back(at);
    if (!(block.deleted && options.interpret.skipDeletedBlocks)) tracker.Block(block, s, at);
  }
  return out;
}

}  // namespace

bool RestartPlan::Refused() const {
  if (!error.empty()) return true;
  for (const RestartNote& n : notes)
    if (n.refusal) return true;
  return false;
}

int32_t RestartPlan::Offer() const {
  if (!error.empty()) return errorOffer;
  for (const RestartNote& n : notes)
    if (n.refusal) return n.offer;
  return 0;
}

RestartPlan PlanRestart(std::string_view text, int32_t line, const RestartOptions& options) {
  RestartPlan plan;
  plan.line = line;
  const bool lathe = options.interpret.lathe;

  // The program holding the line, and the line itself.
  const std::vector<ProgramSpan> spans = FindPrograms(text);
  const ProgramSpan& span = spans[ProgramAt(spans, line)];
  const int32_t lastLine = 1 + static_cast<int32_t>(std::count(text.begin(), text.end(), '\n'));
  if (line < 1 || line > lastLine) {
    plan.error = L(line) + "はありません (最終行は " + L(lastLine) + ")";
    return plan;
  }

  // The line itself.
  size_t lineBegin = span.begin;
  for (int32_t l = span.firstLine; l < line; ++l) {
    const void* nl = std::memchr(text.data() + lineBegin, '\n', text.size() - lineBegin);
    lineBegin = static_cast<size_t>(static_cast<const char*>(nl) - text.data()) + 1;
  }
  size_t lineEnd = text.find('\n', lineBegin);
  lineEnd = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
  NcBlock block;
  const std::string_view blockText = text.substr(lineBegin, lineEnd - lineBegin);
  ParseBlock(blockText.substr(0, blockText.size() - (blockText.empty() || blockText.back() != '\n' ? 0 : 1)), block);
  std::string_view s;
  size_t begin = 0;
  int32_t at = 0;

  // A line that holds no block: nothing to restart at; the next block is offered.
  if (!HasWords(block) || (block.deleted && options.interpret.skipDeletedBlocks)) {
    plan.error = L(line) + "には再開するブロックがありません (空行、コメント、% またはプログラム番号の行)";
    LineReader reader(text, lineEnd, line + 1);
    NcBlock next;
    while (lineEnd < text.size() && reader.Next(s, begin, at)) {
      if (begin >= span.end) break;
      ParseBlock(s, next);
      if (HasWords(next) && next.error.empty() && !next.macro) {
        plan.errorOffer = at;
        break;
      }
    }
    return plan;
  }
  if (!block.error.empty()) {
    plan.error = L(line) + "を解釈できません: " + block.error;
    return plan;
  }

  // Where the tool is: the interpreter on the program up to the block, on a
  // thread of its own while the modal words are read here.
  std::future<ToolPath> interpreted = std::async(std::launch::async, [&] {
    return Interpret(text.substr(span.begin, lineEnd - span.begin), span.firstLine, options.interpret);
  });

  // The modal state before the block, read here while the interpreter runs.
  ModalTracker tracker(lathe);
  const BeforeBlock before = ReadBefore(text, span, line, options, tracker, false);
  const std::vector<int32_t>& callLines = before.callLines;
  const bool percent = before.percent;
  const ToolPath path = interpreted.get();
  for (const PathNote& p : path.problems) {
    if (p.line >= line) break;
    // Calls are not followed; they become a warning below, not a reason to refuse.
    const bool call = std::binary_search(callLines.begin(), callLines.end(), p.line);
    if (!call) {
      plan.error = L(p.line) + "を解釈できないため、その後からは再開できません: " + p.text;
      return plan;
    }
  }

  const ModalState& st = tracker.State();
  const ModalHistory& h = tracker.History();
  plan.state = st;
  plan.inch = st.units.Is(200);
  const size_t first = static_cast<size_t>(
      std::lower_bound(path.line.begin(), path.line.end(), line) - path.line.begin());
  plan.position = first > 0 ? path.End(first - 1) : path.start;
  for (int a = 0; a < 3; ++a) plan.positionKnown[a] = h.axisKnown[a];

  CheckBlock(block, line, tracker, kLastSafe, plan.notes);
  // The last block before that could be restarted at, looked for only when
  // a refusal offers it (a second reading: refusals are rare, long programs not).
  for (RestartNote& note : plan.notes) {
    if (note.offer != kLastSafe) continue;
    ModalTracker again(lathe);
    const int32_t lastSafe = ReadBefore(text, span, line, options, again, true).lastSafe;
    for (RestartNote& n : plan.notes)
      if (n.offer == kLastSafe) n.offer = lastSafe;
    break;
  }
  if (h.subprogram || EndsAsSubprogram(text.substr(lineBegin, span.end - lineBegin)))
    plan.notes.push_back({true, line, "サブプログラム (M99 で終わるプログラム) の中からは再開できません", 0});

  // Warnings.
  if (h.lastStopLine != 0)
    plan.notes.push_back({false, h.lastStopLine, "再開位置の前の停止「" + h.lastStopText + "」を通りません", 0});
  if (h.lastCallLine != 0)
    plan.notes.push_back(
        {false, h.lastCallLine, "サブプログラム・マクロの呼び出しの中のモーダルと移動は反映していません", 0});
  if (h.lastSetLine != 0 && first > 0 && h.lastSetLine > path.line[first - 1]) {
    plan.notes.push_back({false, h.lastSetLine, "最後の移動の後の座標系設定 (G92/G50) は位置に反映していません", 0});
    for (bool& k : plan.positionKnown) k = false;
  }
  static const char* const kAxis[3] = {"X", "Y", "Z"};
  for (int a = 0; a < 3; ++a) {
    if (lathe && a == 1) continue;
    if (!plan.positionKnown[a])
      plan.notes.push_back({false, line,
                            std::string("再開前の ") + kAxis[a] + " の位置が確定していません (アプローチで " + kAxis[a] +
                                " は動かしません)",
                            0});
  }

  // The clearance and the start point in the program's unit.
  const double unit = plan.inch ? kInch : 1.0;
  Point3 start{plan.position.x / unit, plan.position.y / unit, plan.position.z / unit};
  if (lathe) start.x *= 2;
  if (options.hasClearance) {
    plan.clearance = options.clearance;
  } else {
    double high = lathe ? path.start.x : path.start.z;
    for (size_t i = 0; i < first; ++i) {
      const Point3 end = path.End(i);
      high = std::max<double>(high, lathe ? end.x : end.z);
    }
    plan.clearance = high / unit * (lathe ? 2 : 1);
  }

  PreambleInput in;
  in.state = &st;
  in.history = &h;
  in.lathe = lathe;
  in.inch = plan.inch;
  in.percent = percent;
  in.line = line;
  in.start = start;
  for (int a = 0; a < 3; ++a) in.known[a] = plan.positionKnown[a];
  in.clearance = plan.clearance;
  in.clearanceGiven = options.hasClearance;
  {
    std::vector<std::string_view> texts;
    WordTexts(text.substr(lineBegin, lineEnd - lineBegin), texts);
    if (texts.size() == block.words.size())
      for (size_t i = 0; i < texts.size(); ++i)
        if (block.words[i].letter == 'F') in.blockFeed = std::string(texts[i]);
  }
  plan.preamble = ComposePreamble(in, plan.notes);

  plan.restBegin = lineBegin;
  plan.restEnd = span.end;
  return plan;
}

std::string RestartProgramText(const RestartPlan& plan, std::string_view text) {
  const bool crlf = text.find("\r\n") != std::string_view::npos;
  const char* eol = crlf ? "\r\n" : "\n";
  std::string out;
  out.reserve(plan.restEnd - plan.restBegin + 256);
  for (const std::string& l : plan.preamble) out.append(l).append(eol);
  out.append(text.substr(plan.restBegin, plan.restEnd - plan.restBegin));
  return out;
}

std::string RestartLogLine(const RestartPlan& plan, std::string_view text) {
  std::string_view block = Trimmed(text.substr(plan.restBegin, std::min(text.size(), text.find('\n', plan.restBegin)) - plan.restBegin));
  return "  途中から送信 再開行は" + std::to_string(plan.line) + "行目: " + std::string(block) + "\n";
}

int32_t ProposedRestartLine(std::string_view text, int32_t lineBeingSent) {
  // Line starts up to the last complete line, then back to a block.
  const int32_t lastComplete = lineBeingSent - 1;
  std::vector<size_t> starts;
  LineReader reader(text);
  std::string_view s;
  size_t begin = 0;
  int32_t line = 0;
  while (line < lastComplete - 1 && reader.Next(s, begin, line)) starts.push_back(begin);
  NcBlock block;
  for (int32_t l = static_cast<int32_t>(starts.size()); l >= 1; --l) {
    const size_t at = starts[static_cast<size_t>(l - 1)];
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    ParseBlock(text.substr(at, end - at), block);
    if (!block.words.empty() && block.error.empty() && !block.macro) return l;
  }
  return 0;
}

bool ParseRestartPoint(std::string_view text, RestartPoint& point) {
  point = RestartPoint{};
  if (!text.empty() && (text[0] == 'N' || text[0] == 'n' || text[0] == 'L' || text[0] == 'l')) {
    point.blockNumber = text[0] == 'N' || text[0] == 'n';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 9) return false;
  long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  point.number = n;
  return point.blockNumber || n > 0;
}

int32_t RestartLineOf(std::string_view text, const RestartPoint& point) {
  if (!point.blockNumber) return static_cast<int32_t>(point.number);
  LineReader reader(text);
  NcBlock block;
  std::string_view s;
  size_t begin = 0;
  int32_t line = 0;
  while (reader.Next(s, begin, line)) {
    if (s.find_first_of("Nn") == std::string_view::npos) continue;
    ParseBlock(s, block);
    for (const NcWord& w : block.words)
      if (w.letter == 'N' && w.value == static_cast<double>(point.number)) return line;
  }
  return 0;
}

}  // namespace quelvo
