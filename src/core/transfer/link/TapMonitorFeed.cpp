// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/link/TapMonitorFeed.h"

#include <string>

namespace quelvo {

void LineLamps::Apply(const TapEvent& event) {
  switch (event.kind) {
    case TapEvent::Kind::kOpened:
      open = true;
      break;
    case TapEvent::Kind::kClosed:
      *this = LineLamps{};
      break;
    case TapEvent::Kind::kModemLines:
      modemReadable = event.readable;
      modemBits = event.bits;
      break;
    case TapEvent::Kind::kOutputLines:
      outputBits = event.bits;
      break;
    default:
      break;
  }
}

void ShowTapEvents(const std::vector<TapEvent>& events, std::uint64_t dropped, LineMonitor* monitor,
                   LineLamps* lamps) {
  if (dropped != 0 && !events.empty()) {
    monitor->Note(events.front().at, "表示が追いつかず " + std::to_string(dropped) +
                                         " 件を記録できませんでした (転送には影響ありません)");
  }
  for (const TapEvent& e : events) {
    lamps->Apply(e);
    switch (e.kind) {
      case TapEvent::Kind::kFromControl:
        monitor->Bytes(MonitorDirection::kFromControl, e.at, &e.byte, 1);
        break;
      case TapEvent::Kind::kToControl:
        monitor->Bytes(MonitorDirection::kToControl, e.at, &e.byte, 1);
        break;
      case TapEvent::Kind::kModemLines:
        monitor->ModemLines(e.at, e.readable, e.bits);
        break;
      case TapEvent::Kind::kOpened:
        monitor->Note(e.at, "ポートを開きました");
        break;
      case TapEvent::Kind::kClosed:
        monitor->Note(e.at, "ポートを閉じました");
        break;
      case TapEvent::Kind::kOutputLines:
        monitor->Note(e.at, std::string("出力信号線  DTR ") + ((e.bits & kTapDtr) != 0 ? "ON " : "off") +
                                "  RTS " + ((e.bits & kTapRts) != 0 ? "ON " : "off"));
        break;
    }
  }
}

}  // namespace quelvo
