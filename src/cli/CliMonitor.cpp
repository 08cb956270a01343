// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli monitor: a line monitor on a port it opens itself. What the
// control sends is shown as it arrives; lines typed on standard input go to
// the control (DC1, DC2, DC3 and DC4 alone on a line send that code). Both
// directions carry time stamps; the modem lines are shown as they change.
#include <poll.h>
#include <unistd.h>

#include <fstream>
#include <ostream>

#include "cli/CliExit.h"
#include "cli/CliSession.h"
#include "cli/CliUsage.h"
#include "core/transfer/link/LinePort.h"
#include "cli/SerialPortFactory.h"
#include "cli/StopSignals.h"
#include "core/settings/CommSetting.h"
#include "core/transfer/LineDetect.h"
#include "core/transfer/LineMonitor.h"

namespace quelvo::cli {
namespace {

const CliCommand& Command() {
  for (const CliCommand& c : CliCommands()) {
    if (std::string(c.name) == "monitor") return c;
  }
  return CliCommands()[0];
}

constexpr int kSpeeds[] = {2400, 4800, 9600, 14400, 19200, 4800};

bool NotStopped() { return !StopPending(); }

// The receive half of the setting as a line state: what the control sends is
// what is watched.
LineConfig MonitorLine(const CommSetting& c, TapeCode code) {
  LineConfig line = ListeningLine(kSpeeds[c.Speed_R >= 0 && c.Speed_R <= 5 ? c.Speed_R : 1],
                                  code == TapeCode::ASCII ? 7 : 8);
  line.stopBits = c.STbit_R == 0 ? StopBits::kOne : StopBits::kTwo;
  return line;
}

// The bytes for one typed line: a handshake code by its name, else the text
// and a line end in the code.
std::vector<uint8_t> TypedBytes(const std::string& typed, TapeCode code) {
  const char* names[] = {"DC1", "DC2", "DC3", "DC4"};
  for (int i = 0; i < 4; ++i) {
    if (typed == names[i]) return {static_cast<uint8_t>(kDC1 + i)};
  }
  std::vector<uint8_t> out;
  const TapeCode sendCode = code == TapeCode::Undecided ? TapeCode::ISO : code;
  for (const char ch : typed + "\n") {
    if (const auto b = EncodeChar(sendCode, static_cast<uint8_t>(ch))) out.push_back(*b);
  }
  return out;
}

// Whole lines typed on standard input since the last call; false at its end.
bool TypedLines(std::string* partial, std::vector<std::string>* lines) {
  pollfd p{0, POLLIN, 0};
  if (::poll(&p, 1, 0) <= 0 || (p.revents & (POLLIN | POLLHUP)) == 0) return true;
  char buffer[256];
  const ssize_t n = ::read(0, buffer, sizeof buffer);
  if (n <= 0) return false;
  partial->append(buffer, static_cast<size_t>(n));
  for (size_t end; (end = partial->find('\n')) != std::string::npos;) {
    lines->push_back(partial->substr(0, end));
    partial->erase(0, end + 1);
  }
  return true;
}

}  // namespace

int RunMonitor(const std::vector<std::string>& args, CliIo& io) {
  const ParsedArgs parsed =
      ParseArgs(args, {{"setting", true}, {"port", true}, {"save", true}, {"seconds", true}});
  int status = kCliUsage;
  if (HandleHelpAndUsage(parsed, Command(), 0, io, &status)) return status;
  int seconds = 0;
  if (parsed.Has("seconds") && (!ParseInteger(parsed.Value("seconds"), &seconds) || seconds < 1)) {
    io.err << "quelvo-cli monitor: --seconds には秒数を指定してください\n";
    return kCliUsage;
  }
  CliSession session;
  std::string error, notice;
  bool usageError = false;
  if (!LoadSession(parsed, &session, &error, &notice, &usageError)) {
    io.err << "quelvo-cli monitor: " << error << '\n';
    return usageError ? kCliUsage : kCliFileFailed;
  }
  if (!notice.empty()) io.err << notice << '\n';
  ApplyPortOverride(parsed, &session, false);
  const std::string device = session.comm.Port_R;

  std::ofstream saved;
  if (parsed.Has("save")) {
    saved.open(parsed.Value("save"), std::ios::binary | std::ios::trunc);
    if (!saved) {
      io.err << "quelvo-cli monitor: " << parsed.Value("save") << " に書き込めません\n";
      return kCliFileFailed;
    }
  }
  bool saveFailed = false;
  const auto sink = [&](const std::string& line) {
    io.out << line << '\n' << std::flush;
    if (saved.is_open() && !saveFailed) {
      saved << line << '\n' << std::flush;
      saveFailed = !saved;
    }
  };

  const TapeCode code = ReceiveTapeCode(session.comm.Code_R);
  const LineConfig line = MonitorLine(session.comm, code);
  InstallStopSignals();
  auto port = MakeSerialPort();
  port->SetOpenWatcher(&NotStopped);
  if (!OpenLine(*port, device, line, &error)) {
    io.err << "quelvo-cli monitor: " << error << '\n';
    return kCliPortFailed;
  }
  port->SetTimeouts(PortTimeouts{50, 2000});

  LineMonitor monitor(code, sink);
  using Clock = LineMonitor::Clock;
  monitor.Note(Clock::now(), "Quelvo 通信モニタ  ポート " + device + "  " +
                                 (IsRawTcpPort(device) ? std::string("速度・形式はデバイスサーバーの設定")
                                                       : std::to_string(line.baudRate) + " bps データ長 " +
                                                             std::to_string(line.byteSize) + " ストップビット " +
                                                             (line.stopBits == StopBits::kOne ? "1" : "2")) +
                                 "  コード " +
                                 (code == TapeCode::Undecided ? "EIA/ISO 自動判別" : TapeCodeName(code)));
  monitor.Note(Clock::now(), "表記: <DC1> などは制御文字、<XX> はコードに無いバイト (16 進)、<PE XX> はパリティ誤り");

  const auto start = std::chrono::steady_clock::now();
  auto lastModem = start - std::chrono::seconds(1);
  std::string typedPartial;
  bool stdinOpen = true;
  int result = kCliDone;
  while (!StopPending()) {
    const auto now = std::chrono::steady_clock::now();
    if (seconds > 0 && now - start >= std::chrono::seconds(seconds)) break;
    if (now - lastModem >= std::chrono::milliseconds(100)) {
      lastModem = now;
      uint32_t bits = 0;
      const bool readable = port->ModemStatus(&bits);
      monitor.ModemLines(Clock::now(), readable, bits);
    }
    if (stdinOpen) {
      std::vector<std::string> typed;
      stdinOpen = TypedLines(&typedPartial, &typed);
      for (const std::string& text : typed) {
        const std::vector<uint8_t> bytes = TypedBytes(text, monitor.Code());
        if (!port->Write(bytes.data(), bytes.size())) {
          monitor.Note(Clock::now(), "送信できません: " + PortErrorText(port->LastError()));
          continue;
        }
        monitor.Bytes(MonitorDirection::kToControl, Clock::now(), bytes.data(), bytes.size());
      }
    }
    uint8_t b = 0;
    const ReadResult r = port->ReadByte(&b);
    if (r == ReadResult::kError) {
      monitor.Note(Clock::now(), "ポートを読めません: " + PortErrorText(port->LastError()));
      result = kCliPortFailed;
      break;
    }
    if (r == ReadResult::kByte) monitor.Bytes(MonitorDirection::kFromControl, Clock::now(), &b, 1);
  }
  monitor.Note(Clock::now(), "終了  受信 " + std::to_string(monitor.ByteCount(MonitorDirection::kFromControl)) +
                                 " バイト  送信 " + std::to_string(monitor.ByteCount(MonitorDirection::kToControl)) +
                                 " バイト  パリティ誤り " + std::to_string(monitor.ParityErrors()));
  port->Close();
  if (saveFailed) {
    io.err << "quelvo-cli monitor: " << parsed.Value("save") << " に書き込めません (途中まで保存)\n";
    return kCliFileFailed;
  }
  return result;
}

}  // namespace quelvo::cli
