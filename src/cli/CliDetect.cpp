// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli detect: finds the control's speed and tape code from programs it
// punches. Each punch is heard at one speed; the user punches again until the
// detector is done. The result is a proposal: nothing is saved without --save
// and a "yes".
#include <unistd.h>

#include <iostream>
#include <thread>
#include <ostream>

#include "cli/CliExit.h"
#include "cli/CliSession.h"
#include "cli/CliUsage.h"
#include "core/transfer/link/LinePort.h"
#include "cli/SerialPortFactory.h"
#include "cli/StopSignals.h"
#include "core/common/ProgramFiles.h"
#include "core/settings/CommSettingFile.h"
#include "core/settings/SettingNumberArgument.h"
#include "core/settings/SettingSlots.h"
#include "core/transfer/LineDetect.h"

namespace quelvo::cli {
namespace {

const CliCommand& Command() {
  for (const CliCommand& c : CliCommands()) {
    if (std::string(c.name) == "detect") return c;
  }
  return CliCommands()[0];
}

// The speeds of the settings' speed list, in list order.
const std::vector<int> kOfferedSpeeds{2400, 4800, 9600, 14400, 19200};

int SpeedIndex(int speed) {
  for (size_t i = 0; i < kOfferedSpeeds.size(); ++i) {
    if (kOfferedSpeeds[i] == speed) return static_cast<int>(i);
  }
  return 1;
}

bool NotStopped() { return !StopPending(); }

// The setting with the detected line, both halves: a control punches and reads
// with the same settings. Two stop bits: the bytes never show the stop size,
// and a control set to one stop bit reads two as a short pause.
CommSetting Proposed(CommSetting c, const LineDetection& r) {
  c.Speed_R = c.Speed_S = SpeedIndex(r.speed);
  c.STbit_R = c.STbit_S = 1;
  switch (r.codes.front()) {
    case TapeCode::ISO: c.Code_R = 3, c.Code_S = 0; break;
    case TapeCode::EIA: c.Code_R = 2, c.Code_S = 1; break;
    default: c.Code_R = 1, c.Code_S = 2; break;
  }
  return c;
}

std::string CodeList(const std::vector<TapeCode>& codes) {
  std::string text;
  for (const TapeCode c : codes) text += (text.empty() ? "" : " / ") + std::string(TapeCodeName(c));
  return text;
}

bool ConfirmSave(const ParsedArgs& args, int place, CliIo& io) {
  io.err << "通信設定 " << place << " をこの内容で保存しますか? [y/N] " << std::flush;
  if (args.Has("yes")) {
    io.err << "y (--yes)\n";
    return true;
  }
  std::string answer;
  if (!::isatty(0) || !std::getline(std::cin, answer)) {
    io.err << "\n端末が無いため「いいえ」とします (--yes で「はい」)\n";
    return false;
  }
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "はい";
}

}  // namespace

int RunDetect(const std::vector<std::string>& args, CliIo& io) {
  const ParsedArgs parsed = ParseArgs(args, {{"setting", true}, {"port", true}, {"save", true},
                                             {"yes", false}, {"wait", true}});
  int status = kCliUsage;
  if (HandleHelpAndUsage(parsed, Command(), 0, io, &status)) return status;
  int savePlace = 0;
  if (parsed.Has("save") &&
      (!ParseInteger(parsed.Value("save"), &savePlace) || savePlace < 1 || savePlace > kSettingCount)) {
    io.err << "quelvo-cli detect: 通信設定番号\n" << parsed.Value("save") << "は存在しません。(1〜12)\n";
    return kCliUsage;
  }
  int waitSeconds = 120;
  if (parsed.Has("wait") && (!ParseInteger(parsed.Value("wait"), &waitSeconds) || waitSeconds < 1)) {
    io.err << "quelvo-cli detect: --wait には秒数を指定してください\n";
    return kCliUsage;
  }
  CliSession session;
  std::string error, notice;
  bool usageError = false;
  if (!LoadSession(parsed, &session, &error, &notice, &usageError)) {
    io.err << "quelvo-cli detect: " << error << '\n';
    return usageError ? kCliUsage : kCliFileFailed;
  }
  if (!notice.empty()) io.err << notice << '\n';
  ApplyPortOverride(parsed, &session, false);
  const std::string device = session.comm.Port_R;
  InstallStopSignals();

  // A raw TCP port keeps the speed its device server was given.
  const bool fixedSpeed = IsRawTcpPort(device);
  const int settingSpeed = kOfferedSpeeds[static_cast<size_t>(
      session.comm.Speed_R >= 0 && session.comm.Speed_R < 5 ? session.comm.Speed_R : 1)];
  LineDetector detector(kOfferedSpeeds, fixedSpeed ? settingSpeed : 0);
  if (fixedSpeed) {
    io.err << device << " は tcp:// のポートです: 通信速度はデバイスサーバーの設定で決まり、ここからは判別できません。"
                        "コードだけを調べます。\n";
  }
  int punch = 0;
  while (!detector.Done()) {
    auto port = MakeSerialPort();
    port->SetOpenWatcher(&NotStopped);
    // A pause before listening again: the port (and a device server's line
    // behind it) settles after the close, and the user walks to the control.
    if (punch > 0) std::this_thread::sleep_for(std::chrono::seconds(1));
    // A device server may take a moment to free its line after the last
    // connection closed: a reopening is tried again for a few seconds.
    const LineConfig line = ListeningLine(detector.NextSpeed(), detector.NextDataBits());
    bool opened = OpenLine(*port, device, line, &error);
    for (int retry = 0; !opened && punch > 0 && retry < 15 && !StopPending(); ++retry) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      opened = OpenLine(*port, device, line, &error);
    }
    if (!opened) {
      io.err << "quelvo-cli detect: " << error << '\n';
      return kCliPortFailed;
    }
    ++punch;
    io.err << (punch == 1 ? "NC 機から何かプログラムをパンチ (出力) してください。"
                          : "もう一度 NC 機からプログラムをパンチ (出力) してください。")
           << " [" << punch << " 回目: " << detector.NextSpeed() << " bps、データ長 " << detector.NextDataBits()
           << " で受信中、Ctrl+C で中止]\n";
    std::vector<uint8_t> bytes;
    const bool read = ReadBurst(*port, std::chrono::seconds(waitSeconds), std::chrono::milliseconds(1500),
                                65536, &NotStopped, &bytes);
    port->Close();
    if (StopPending()) {
      io.err << "中止しました。設定は変更していません。\n";
      return kCliStopped;
    }
    if (!read) {
      io.err << "quelvo-cli detect: " << device << ": " << PortErrorText(port->LastError()) << '\n';
      return kCliPortFailed;
    }
    io.err << "  " << bytes.size() << " バイト受信\n";
    detector.Heard(bytes);
  }

  const LineDetection& r = detector.Result();
  if (!r.speedFound) {
    io.out << "判別できません: " << r.reason << '\n';
    if (!r.candidateSpeeds.empty()) {
      io.out << "候補の通信速度:";
      for (const int s : r.candidateSpeeds) io.out << ' ' << s;
      io.out << '\n';
    }
    return kCliStopped;
  }
  io.out << "通信速度: " << (fixedSpeed ? "判別できません (tcp:// ではデバイスサーバーの設定)" : std::to_string(r.speed))
         << '\n';
  if (r.codes.size() > 1) {
    io.out << "コード: 判別できません (候補 " << CodeList(r.codes)
           << ")。パンチしたプログラムの文字がどちらでも同じバイトになります。別のプログラムで試してください。\n";
    return kCliStopped;
  }
  const TapeCode code = r.codes.front();
  io.out << "コード: " << TapeCodeName(code);
  if (code == TapeCode::ISO) io.out << " (データ長 7、偶数パリティを 8 ビット目に: 回線は 8 ビット パリティ無し)";
  if (code == TapeCode::EIA) io.out << " (奇数パリティを第 5 チャンネルに: 回線は 8 ビット パリティ無し)";
  if (code == TapeCode::ASCII) io.out << (r.asciiStopAsBit8 ? " (データ長 7 パリティ無し)" : " (データ長 8 パリティ無し)");
  io.out << "\nストップビット: 判別できません (1 または 2)。2 を提案します (1 に設定された NC 機も読めます)\n";

  if (savePlace == 0) {
    io.out << "保存するには --save N (通信設定の番号) を付けて実行してください。設定は変更していません。\n";
    return kCliDone;
  }
  const int setNo = SettingNumberFromArgument(savePlace).setNo;
  CommSetting setting = Proposed(LoadCommSetting(ProgramFolder(), setNo), r);
  if (fixedSpeed) setting.Speed_R = session.comm.Speed_R, setting.Speed_S = session.comm.Speed_S;
  io.out << "通信設定 " << savePlace << " に: 受信 速度 " << kOfferedSpeeds[setting.Speed_R] << " コード "
         << TapeCodeName(code) << " ストップビット 2 / 送信 同じ\n";
  if (!ConfirmSave(parsed, savePlace, io)) {
    io.out << "保存しませんでした。\n";
    return kCliStopped;
  }
  if (!SaveCommSetting(ProgramFolder(), setNo, setting, &error)) {
    io.err << "quelvo-cli detect: " << error << '\n';
    return kCliFileFailed;
  }
  io.out << "通信設定 " << savePlace << " に保存しました。\n";
  return kCliDone;
}

}  // namespace quelvo::cli
