// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/LineMonitor.h"

#include <array>
#include <cstdio>
#include <ctime>

#include "core/port/LineConfig.h"

namespace quelvo {
namespace {

// A pause this long starts a new text line with its own time stamp.
constexpr auto kPauseForNewLine = std::chrono::milliseconds(500);
// Characters on one text line before it wraps.
constexpr int kCharsPerLine = 64;

int OneBits(std::uint8_t b) {
  int n = 0;
  for (; b != 0; b &= static_cast<std::uint8_t>(b - 1)) ++n;
  return n;
}

const std::array<std::uint8_t, 256>& EiaDecode() {
  static const std::array<std::uint8_t, 256> table = [] {
    std::array<std::uint8_t, 256> t{};
    for (int ch = 1; ch < 128; ++ch) {
      if (ch == ':') continue;  // EIA has no colon: its byte is that of "O"
      const auto b = EncodeChar(TapeCode::EIA, static_cast<std::uint8_t>(ch));
      if (b && t[*b] == 0) t[*b] = static_cast<std::uint8_t>(ch);
    }
    return t;
  }();
  return table;
}

std::string ControlName(std::uint8_t c) {
  switch (c) {
    case kNUL: return "<NUL>";
    case kENQ: return "<ENQ>";
    case 0x08: return "<BS>";
    case 0x09: return "<TAB>";
    case kLF: return "<LF>";
    case kCR: return "<CR>";
    case kDC1: return "<DC1>";
    case kDC2: return "<DC2>";
    case kDC3: return "<DC3>";
    case kDC4: return "<DC4>";
    case kCAN: return "<CAN>";
    case 0x1B: return "<ESC>";
    case 0x7F: return "<DEL>";
    default: break;
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "<%02X>", c);
  return hex;
}

std::string CharText(std::uint8_t c) {
  if (c >= 0x20 && c < 0x7F) return std::string(1, static_cast<char>(c));
  return ControlName(c);
}

}  // namespace

std::string MonitorByteText(TapeCode code, std::uint8_t b, bool* parityError) {
  *parityError = false;
  switch (code) {
    case TapeCode::EIA: {
      if (b == 0) return "<NUL>";  // blank tape
      if (b == 0x80) return "<LF>";  // end of block
      *parityError = OneBits(b) % 2 == 0;
      const std::uint8_t c = EiaDecode()[b];
      if (c == 0) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "<%02X>", b);
        return hex;
      }
      return CharText(c);
    }
    case TapeCode::ASCII:
      if (b >= 0x80) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "<%02X>", b);
        return hex;
      }
      return CharText(b);
    default:  // ISO and undecided
      *parityError = OneBits(b) % 2 != 0;
      return CharText(b & 0x7F);
  }
}

const char* MonitorDirectionText(MonitorDirection direction) {
  return direction == MonitorDirection::kFromControl ? "NC→PC" : "PC→NC";
}

std::string MonitorTimeText(LineMonitor::Clock::time_point at) {
  const std::time_t seconds = LineMonitor::Clock::to_time_t(at);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count() % 1000;
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(ms < 0 ? ms + 1000 : ms));
  return text;
}

LineMonitor::LineMonitor(TapeCode code, Sink sink) : code_(code), sink_(std::move(sink)) {}

void LineMonitor::Emit(const std::string& line) {
  if (sink_) sink_(line);
}

void LineMonitor::Flush() {
  if (!hasPending_) return;
  Emit(pending_);
  pending_.clear();
  pendingChars_ = 0;
  hasPending_ = false;
}

void LineMonitor::Bytes(MonitorDirection direction, Clock::time_point at, const std::uint8_t* data,
                        std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t b = data[i];
    ++counts_[direction == MonitorDirection::kFromControl ? 0 : 1];
    // The control's first character decides ISO or EIA, as a reception does;
    // NUL and the handshake codes take no part.
    if (code_ == TapeCode::Undecided && direction == MonitorDirection::kFromControl && b != kNUL &&
        !(b >= kDC1 && b <= kDC4) && b != kDC3WithParity) {
      code_ = OneBits(b) % 2 != 0 ? TapeCode::EIA : TapeCode::ISO;
    }
    if (hasPending_ && (direction != pendingDirection_ || at - lastByte_ >= kPauseForNewLine ||
                        pendingChars_ >= kCharsPerLine)) {
      Flush();
    }
    if (!hasPending_) {
      pending_ = MonitorTimeText(at) + " " + MonitorDirectionText(direction) + "  ";
      pendingDirection_ = direction;
      hasPending_ = true;
    }
    bool parityError = false;
    const std::string text = MonitorByteText(code_, b, &parityError);
    if (parityError) {
      ++parityErrors_;
      char mark[16];
      std::snprintf(mark, sizeof mark, "<PE %02X>", b);
      pending_ += mark;
    } else {
      pending_ += text;
    }
    ++pendingChars_;
    lastByte_ = at;
    if (text == "<LF>") Flush();
  }
}

void LineMonitor::ModemLines(Clock::time_point at, bool readable, std::uint32_t bits) {
  if (!readable) {
    if (modemReadable_) {
      modemReadable_ = false;
      Note(at, "モデム信号線 (CTS DSR DCD RI) はこのポートでは読めません");
    }
    return;
  }
  modemReadable_ = true;
  if (modemKnown_ && bits == modemBits_) return;
  const auto lamp = [&](const char* name, std::uint32_t bit) {
    std::string text = std::string(name) + ((bits & bit) != 0 ? " ON " : " off");
    if (modemKnown_ && ((bits ^ modemBits_) & bit) != 0) text += "*";  // this one changed
    return text;
  };
  Note(at, "モデム信号線  " + lamp("CTS", kModemCts) + "  " + lamp("DSR", kModemDsr) + "  " +
               lamp("DCD", kModemDcd) + "  " + lamp("RI", kModemRing));
  modemKnown_ = true;
  modemBits_ = bits;
}

void LineMonitor::Note(Clock::time_point at, const std::string& text) {
  Flush();
  Emit(MonitorTimeText(at) + " ---    " + text);
}

long LineMonitor::ByteCount(MonitorDirection direction) const {
  return counts_[direction == MonitorDirection::kFromControl ? 0 : 1];
}

}  // namespace quelvo
