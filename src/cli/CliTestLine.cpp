// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli test-line: checks a port through a loopback plug (send data
// wired to receive data, RTS to CTS, DTR to DSR and DCD): what is written
// comes back, the port's XOFF handling stops the writer within a few
// characters, and the modem lines follow. One report line per check.
#include <limits.h>
#include <dirent.h>
#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <ostream>
#include <thread>

#include "cli/CliExit.h"
#include "cli/CliSession.h"
#include "cli/CliUsage.h"
#include "core/transfer/link/LinePort.h"
#include "cli/SerialPortFactory.h"
#include "cli/StopSignals.h"
#include "core/common/NetworkPortText.h"

namespace quelvo::cli {
namespace {

const CliCommand& Command() {
  for (const CliCommand& c : CliCommands()) {
    if (std::string(c.name) == "test-line") return c;
  }
  return CliCommands()[0];
}

constexpr int kSpeeds[] = {2400, 4800, 9600, 14400, 19200, 4800};
constexpr int kXoffBurst = 100;  // characters offered after the DC3
using Clock = std::chrono::steady_clock;

bool NotStopped() { return !StopPending(); }

std::string Resolved(const std::string& path) {
  char real[PATH_MAX];
  return ::realpath(path.c_str(), real) != nullptr ? std::string(real) : path;
}

// What the device is, for a report that names it: its /dev/serial/by-id name
// (maker and model of a USB adapter) and its driver, as far as they are known.
std::string AdapterName(const std::string& device) {
  if (HasNetworkPortScheme(device)) return device + " (デバイスサーバー)";
  const std::string real = Resolved(device);
  std::string name = device;
  if (DIR* dir = ::opendir("/dev/serial/by-id")) {
    while (dirent* e = ::readdir(dir)) {
      const std::string link = std::string("/dev/serial/by-id/") + e->d_name;
      if (e->d_name[0] != '.' && Resolved(link) == real) name = e->d_name;
    }
    ::closedir(dir);
  }
  const std::string base = real.substr(real.rfind('/') + 1);
  char driver[PATH_MAX];
  if (::realpath(("/sys/class/tty/" + base + "/device/driver").c_str(), driver) != nullptr) {
    const std::string path = driver;
    name += " (ドライバ " + path.substr(path.rfind('/') + 1) + ")";
  }
  return name;
}

// Reads what comes back until `quiet` passes without a byte.
std::vector<uint8_t> ReadBack(SerialPort& port, std::chrono::milliseconds quiet) {
  std::vector<uint8_t> bytes;
  ReadBurst(port, quiet, quiet, 65536, &NotStopped, &bytes);
  return bytes;
}

struct Outcome {
  bool failed = false;
};

bool CheckEcho(SerialPort& port, CliIo& io, Outcome* outcome) {
  std::vector<uint8_t> sent;
  for (int c = 0x20; c < 0x60; ++c) sent.push_back(static_cast<uint8_t>(c));
  port.Purge();
  if (!port.Write(sent.data(), sent.size())) {
    io.out << "折り返し: 書き込めません (" << PortErrorText(port.LastError()) << ")\n";
    outcome->failed = true;
    return false;
  }
  const std::vector<uint8_t> back = ReadBack(port, std::chrono::milliseconds(1000));
  if (back == sent) {
    io.out << "折り返し: OK  " << sent.size() << " バイト送って同じ " << back.size() << " バイトが戻りました\n";
    return true;
  }
  outcome->failed = true;
  if (back.empty()) {
    io.out << "折り返し: NG  何も戻りません (折り返しプラグ: 送信データと受信データをつなぐ。ポートが違う可能性も)\n";
  } else {
    io.out << "折り返し: NG  " << sent.size() << " バイト送って " << back.size()
           << " バイト戻り、内容が違います (通信速度・データ長の不一致、配線不良、雑音)\n";
  }
  return false;
}

void CheckXoff(SerialPort& port, LineConfig line, int limit, const std::string& device, CliIo& io,
               Outcome* outcome) {
  line.outX = true;  // the driver stops sending on a received DC3
  if (!port.Configure(line) || !port.SetTimeouts(PortTimeouts{5, 300})) {
    io.out << "XOFF: 設定できません (" << PortErrorText(port.LastError()) << ")\n";
    outcome->failed = true;
    return;
  }
  port.Purge();
  const uint8_t dc3 = 0x13;
  port.Write(&dc3, 1);
  // One character per character time, as a control's line paces them; the
  // DC3 comes back through the plug and should stop the writer at once.
  const auto charTime = std::chrono::microseconds(10'000'000 / (line.baudRate > 0 ? line.baudRate : 9600));
  int written = 0;
  int echoed = 0;
  bool writerBlocked = false;
  for (; written < kXoffBurst && !StopPending(); ++written) {
    const uint8_t u = 'U';
    if (!port.Write(&u, 1)) {
      writerBlocked = true;
      break;
    }
    const auto until = Clock::now() + charTime;
    uint8_t b = 0;
    while (Clock::now() < until && port.ReadByte(&b) == ReadResult::kByte) echoed += b == 'U' ? 1 : 0;
    std::this_thread::sleep_until(until);
  }
  for (const uint8_t b : ReadBack(port, std::chrono::milliseconds(500))) echoed += b == 'U' ? 1 : 0;
  if (echoed <= limit) {
    io.out << "XOFF: OK  DC3 の後 " << echoed << " 文字で送信が止まりました (許容 " << limit << " 文字)\n";
  } else {
    outcome->failed = true;
    io.out << "XOFF: NG  DC3 の後も " << echoed << " 文字送り続けました (許容 " << limit
           << " 文字): " << AdapterName(device)
           << " は XOFF をすぐには守りません。NC 機の DC3 で止まらず、NC 機のバッファがあふれます。"
              "別のアダプタを使うか、RTS/CTS の設定にしてください\n";
  }
  (void)writerBlocked;
  // Output back on and nothing left queued, so that closing does not wait.
  line.outX = false;
  port.Configure(line);
  port.Purge();
}

void CheckModemLines(SerialPort& port, LineConfig line, CliIo& io, Outcome* outcome) {
  uint32_t bits = 0;
  if (!port.ModemStatus(&bits)) {
    io.out << "モデム信号線: 読めません (このポートは CTS DSR DCD を読めません: 疑似端末、"
              "ネットワークポート、信号線の無いアダプタ)\n";
    return;
  }
  struct Pair {
    const char* output;
    LineControl LineConfig::*control;
    const char* input;
    uint32_t bit;
  };
  const Pair pairs[] = {{"RTS", &LineConfig::rtsControl, "CTS", kModemCts},
                        {"DTR", &LineConfig::dtrControl, "DSR", kModemDsr},
                        {"DTR", &LineConfig::dtrControl, "DCD", kModemDcd}};
  for (const Pair& p : pairs) {
    bool follows = true;
    for (const bool on : {false, true}) {
      LineConfig set = line;
      set.*(p.control) = on ? LineControl::kEnable : LineControl::kDisable;
      port.Configure(set);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      follows = follows && port.ModemStatus(&bits) && ((bits & p.bit) != 0) == on;
    }
    port.Configure(line);
    io.out << "モデム信号線 " << p.output << "→" << p.input << ": "
           << (follows ? "OK  従います" : "NG  従いません (プラグかケーブルにこの線が無い)") << '\n';
    if (!follows) outcome->failed = true;
  }
}

}  // namespace

int RunTestLine(const std::vector<std::string>& args, CliIo& io) {
  const ParsedArgs parsed = ParseArgs(args, {{"setting", true}, {"port", true}, {"xoff-limit", true}});
  int status = kCliUsage;
  if (HandleHelpAndUsage(parsed, Command(), 0, io, &status)) return status;
  int limit = 32;
  if (parsed.Has("xoff-limit") && (!ParseInteger(parsed.Value("xoff-limit"), &limit) || limit < 0)) {
    io.err << "quelvo-cli test-line: --xoff-limit には文字数を指定してください\n";
    return kCliUsage;
  }
  CliSession session;
  std::string error, notice;
  bool usageError = false;
  if (!LoadSession(parsed, &session, &error, &notice, &usageError)) {
    io.err << "quelvo-cli test-line: " << error << '\n';
    return usageError ? kCliUsage : kCliFileFailed;
  }
  if (!notice.empty()) io.err << notice << '\n';
  ApplyPortOverride(parsed, &session, true);
  const std::string device = session.comm.Port_S;
  const CommSetting& c = session.comm;
  LineConfig line = ListeningLine(kSpeeds[c.Speed_S >= 0 && c.Speed_S <= 5 ? c.Speed_S : 1], 8);
  InstallStopSignals();
  auto port = MakeSerialPort();
  port->SetOpenWatcher(&NotStopped);
  if (!OpenLine(*port, device, line, &error)) {
    io.err << "quelvo-cli test-line: " << error << '\n';
    return kCliPortFailed;
  }
  io.out << "ポート: " << AdapterName(device) << "  " << line.baudRate << " bps 8 ビット パリティ無し\n";
  Outcome outcome;
  CheckModemLines(*port, line, io, &outcome);
  if (CheckEcho(*port, io, &outcome)) {
    CheckXoff(*port, line, limit, device, io, &outcome);
  } else {
    io.out << "XOFF: 調べられません (折り返しが無いため)\n";
  }
  port->Close();
  if (StopPending()) {
    io.out << "結果: 中止しました\n";
    return kCliStopped;
  }
  io.out << "結果: " << (outcome.failed ? "問題あり" : "問題なし") << '\n';
  return outcome.failed ? kCliStopped : kCliDone;
}

}  // namespace quelvo::cli
