// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ProgressView.h"

#include <cstdio>
#include <ostream>
#include <sstream>

#include "core/common/JsonText.h"

namespace quelvo::cli {
namespace {

constexpr int64_t kBarRedrawMs = 200;
constexpr int64_t kPlainLineMs = 5000;
constexpr int kBarWidth = 20;

const char* StateText(const TransferFigures& f) {
  const bool send = f.direction == TransferDirection::Send;
  if (send && f.paused && f.phase == TransferPhase::kSending) return "NC機の一時停止中";
  switch (f.phase) {
    case TransferPhase::kWaitingForControl:
      return send ? "送信待機中" : "受信待機中";
    case TransferPhase::kSending:
      return "送信中";
    case TransferPhase::kSkipping:
      return "スルー";
    case TransferPhase::kReceiving:
      return "受信中";
    case TransferPhase::kSaving:
      return "保存中";
    case TransferPhase::kCompleted:
      return send ? "送信完了" : "受信完了";
    case TransferPhase::kStopped:
      return send ? "送信中止" : "受信中止";
  }
  return "";
}

double Seconds(const TransferFigures& f) {
  return f.dataStartMs < 0 ? 0.0 : static_cast<double>(f.nowMs - f.dataStartMs) / 1000.0;
}

}  // namespace

std::string DurationText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  }
  return text;
}

std::string ProgressLine(const TransferFigures& f, bool withBar) {
  std::ostringstream line;
  const double seconds = Seconds(f);
  const bool send = f.direction == TransferDirection::Send;
  if (send && f.totalBytes > 0) {
    const int64_t done = f.bytes < f.totalBytes ? f.bytes : f.totalBytes;
    const int percent = static_cast<int>(done * 100 / f.totalBytes);
    if (withBar) {
      const int filled = static_cast<int>(done * kBarWidth / f.totalBytes);
      line << '[' << std::string(static_cast<size_t>(filled), '#')
           << std::string(static_cast<size_t>(kBarWidth - filled), '-') << "] ";
    }
    line << (percent < 10 ? "  " : percent < 100 ? " " : "") << percent << "%  " << done << '/'
         << f.totalBytes << " バイト";
    if (seconds >= 0.5 && done > 0) {
      const double rate = static_cast<double>(done) / seconds;
      line << "  " << static_cast<int64_t>(rate) << " 字/秒  残り "
           << DurationText(static_cast<int64_t>(static_cast<double>(f.totalBytes - done) / rate + 0.5));
    }
  } else if (!send) {
    line << f.lines << " 行";
    if (seconds > 0) line << "  " << DurationText(static_cast<int64_t>(seconds));
  }
  if (!f.program.empty()) line << "  " << f.program;
  line << "  " << StateText(f);
  std::string text = line.str();
  if (text.compare(0, 2, "  ") == 0) text.erase(0, 2);  // no figures yet: the state alone
  return text;
}

ProgressView::ProgressView(std::ostream& err, ProgressStyle style, Clock clock)
    : err_(err), style_(style), clock_(std::move(clock)) {}

void ProgressView::Started(TransferDirection direction, bool) {
  f_ = TransferFigures{};
  f_.direction = direction;
  startMs_ = clock_();
  f_.nowMs = startMs_;
  blockBase_ = 0;
  lastInBlock_ = 0;
}

void ProgressView::PhaseChanged(TransferPhase phase) {
  const bool changed = phase != f_.phase;
  f_.phase = phase;
  if (phase == TransferPhase::kWaitingForControl && f_.waitingSinceMs < 0) f_.waitingSinceMs = clock_();
  if ((phase == TransferPhase::kSending || phase == TransferPhase::kReceiving) && f_.dataStartMs < 0)
    f_.dataStartMs = clock_();
  if (changed) Draw(phase != TransferPhase::kSending && phase != TransferPhase::kSkipping);
}

void ProgressView::SendTotal(int64_t totalChars, bool dataBegins) {
  f_.totalBytes = totalChars;
  if (dataBegins) {
    f_.bytes = 0;
    f_.dataStartMs = clock_();
  }
}

void ProgressView::CharactersSent(int64_t sentChars, int64_t totalChars, int32_t) {
  f_.bytes = sentChars;
  f_.totalBytes = totalChars;
  Draw(false);
}

void ProgressView::ReceiveBlock(int blockLines) {
  blockLines_ = blockLines;
  if (f_.dataStartMs < 0) f_.dataStartMs = clock_();
}

void ProgressView::LinesInBlock(int lines) {
  // A block that was written starts the count again from 0.
  if (lines < lastInBlock_) blockBase_ += blockLines_ > 0 ? blockLines_ : lastInBlock_;
  lastInBlock_ = lines;
  f_.lines = blockBase_ + lines;
  Draw(false);
}

void ProgressView::ControlPaused(bool paused) {
  f_.paused = paused;
  Draw(true);
}

void ProgressView::Tick() { Draw(false); }

void ProgressView::Draw(bool force) {
  if (style_ == ProgressStyle::kNone) return;
  const int64_t now = clock_();
  const int64_t interval = style_ == ProgressStyle::kBar ? kBarRedrawMs : kPlainLineMs;
  if (!force && now - lastDrawMs_ < interval) return;
  if (style_ == ProgressStyle::kLines && force && now - lastDrawMs_ < 1000) return;
  lastDrawMs_ = now;
  f_.nowMs = now;
  if (style_ == ProgressStyle::kBar) {
    err_ << '\r' << ProgressLine(f_, true) << "\x1b[K" << std::flush;
    lineOpen_ = true;
  } else {
    err_ << ProgressLine(f_, false) << '\n' << std::flush;
  }
}

void ProgressView::BreakLine() {
  if (!lineOpen_) return;
  err_ << '\n' << std::flush;
  lineOpen_ = false;
}

std::string SummaryText(const TransferSummary& s) {
  std::ostringstream text;
  text << s.result << ": " << s.bytes << " バイト";
  if (s.command == "receive") text << " (" << s.lines << " 行)";
  text << "  " << DurationText(static_cast<int64_t>(s.seconds + 0.5));
  if (s.seconds > 0 && s.bytes > 0) text << "  平均 " << static_cast<int64_t>(s.bytes / s.seconds) << " 字/秒";
  if (s.errorNumber != 0) text << "  ｴﾗｰ番号 " << s.errorNumber;
  // The log's line, on a line of its own: errors on the line are not hidden
  // behind a clean result.
  if (s.lineErrors.counted && s.lineErrors.counts.Any()) {
    std::string line = LineErrorLogLine(s.lineErrors.counts);
    text << '\n' << line.substr(2, line.size() - 3);
  }
  return text.str();
}

std::string SummaryJson(const TransferSummary& s) {
  std::ostringstream json;
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", s.seconds);
  json << "{\"command\":" << JsonString(s.command) << ",\"file\":" << JsonString(s.file)
       << ",\"setting\":" << s.setting << ",\"port\":" << JsonString(s.port) << ",\"bytes\":" << s.bytes;
  if (s.command == "receive") json << ",\"lines\":" << s.lines;
  json << ",\"seconds\":" << seconds << ",\"chars_per_second\":"
       << (s.seconds > 0 ? static_cast<int64_t>(s.bytes / s.seconds) : 0)
       << ",\"completed\":" << (s.completed ? "true" : "false") << ",\"error_number\":" << s.errorNumber
       << ",\"exit_status\":" << s.exitStatus << ",\"result\":" << JsonString(s.result);
  const LineErrorReport& e = s.lineErrors;
  if (e.counted) {
    json << ",\"line_errors\":{\"framing\":" << e.counts.framing << ",\"parity\":" << e.counts.parity
         << ",\"overrun\":" << e.counts.overrun << ",\"buffer_overrun\":" << e.counts.bufferOverrun
         << ",\"breaks\":" << e.counts.breaks << "}";
  } else {
    json << ",\"line_errors\":null";
    // Said only of a port that was open: one that never opened counted nothing to tell.
    if (e.portOpen) json << ",\"line_errors_note\":" << JsonString(kNoLineErrorCounts);
  }
  json << "}";
  return json.str();
}

}  // namespace quelvo::cli
