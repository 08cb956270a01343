// SPDX-License-Identifier: GPL-3.0-or-later
// Not a test: shows the line monitor window with a short send recorded by its
// tap (the control's DC1, an ISO program, a pause by DC3, one byte with a
// wrong parity), for looking at it.
#include <QApplication>

#include "core/transfer/TapeCode.h"
#include "gui/dialogs/LineMonitorWindow.h"
#include "support/FakeSerialPort.h"
#include "support/VirtualClock.h"

int main(int argc, char** argv) {
  using namespace quelvo;
  QApplication app(argc, argv);
  VirtualClock clock;
  FakeSerialPort port(clock);
  LineTap tap;
  IdleLineWatch watch;
  LineMonitorWindow window(tap, watch, port);
  window.show();
  window.TransferStarting(TapeCode::ISO);
  tap.Mark(TapEvent::Kind::kOpened);
  tap.OutputLines(kTapDtr | kTapRts);
  tap.ModemLines(true, kModemCts | kModemDsr | kModemDcd);
  tap.Byte(TapEvent::Kind::kFromControl, kDC1);
  window.Poll();
  window.Poll();
  const char* lines[] = {"%", "O1234 (FLANGE)", "G90G54G00X0Y0", "G01Z-5.F200", "X120.", "M30", "%"};
  for (const char* line : lines) {
    for (const char* p = line; *p != '\0'; ++p) {
      tap.Byte(TapEvent::Kind::kToControl, *EncodeChar(TapeCode::ISO, static_cast<uint8_t>(*p)));
    }
    tap.Byte(TapEvent::Kind::kToControl, 0x0A);
    if (std::string(line) == "G01Z-5.F200") {
      tap.Byte(TapEvent::Kind::kFromControl, kDC3WithParity);
      tap.ModemLines(true, kModemDsr | kModemDcd);
      window.Poll();
      window.Poll();
      tap.Byte(TapEvent::Kind::kFromControl, 0x31);  // a byte with a wrong parity
      tap.Byte(TapEvent::Kind::kFromControl, kDC1);
      tap.ModemLines(true, kModemCts | kModemDsr | kModemDcd);
    }
    window.Poll();
    window.Poll();
  }
  return app.exec();
}
