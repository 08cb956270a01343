// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/link/DetectionRun.h"

#include <chrono>
#include <thread>

#include "core/transfer/link/LinePort.h"

namespace quelvo {
namespace {

int SpeedIndex(int speed) {
  const std::vector<int>& speeds = OfferedSpeeds();
  for (size_t i = 0; i < speeds.size(); ++i) {
    if (speeds[i] == speed) return static_cast<int>(i);
  }
  return 1;
}

}  // namespace

const std::vector<int>& OfferedSpeeds() {
  static const std::vector<int> speeds{2400, 4800, 9600, 14400, 19200};
  return speeds;
}

std::optional<LineDetection> RunLineDetection(SerialPort& port, const std::string& device, int settingSpeedIndex,
                                              const DetectionCallbacks& callbacks, std::string* error) {
  const bool fixedSpeed = IsRawTcpPort(device);
  const int settingSpeed =
      OfferedSpeeds()[static_cast<size_t>(settingSpeedIndex >= 0 && settingSpeedIndex < 5 ? settingSpeedIndex : 1)];
  LineDetector detector(OfferedSpeeds(), fixedSpeed ? settingSpeed : 0);
  const auto going = [&] { return !callbacks.keepGoing || callbacks.keepGoing(); };
  int punch = 0;
  while (!detector.Done()) {
    // A pause before listening again: the port (and a device server's line
    // behind it) settles after the close.
    if (punch > 0) std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const LineConfig line = ListeningLine(detector.NextSpeed(), detector.NextDataBits());
    if (!OpenLine(port, device, line, error)) return std::nullopt;
    ++punch;
    if (callbacks.listening) callbacks.listening(punch, detector.NextSpeed(), detector.NextDataBits());
    std::vector<uint8_t> bytes;
    const bool read =
        ReadBurst(port, std::chrono::seconds(120), std::chrono::milliseconds(1500), 65536, going, &bytes);
    if (!read) *error = device + ": " + PortErrorText(port.LastError());
    port.Close();
    if (!read || !going()) return std::nullopt;
    detector.Heard(bytes);
  }
  return detector.Result();
}

CommSetting ProposedReceiveHalf(CommSetting setting, const LineDetection& found, bool keepSpeed) {
  if (!keepSpeed) setting.Speed_R = SpeedIndex(found.speed);
  setting.STbit_R = 1;
  switch (found.codes.empty() ? TapeCode::ASCII : found.codes.front()) {
    case TapeCode::ISO: setting.Code_R = 3; break;
    case TapeCode::EIA: setting.Code_R = 2; break;
    default: setting.Code_R = 1; break;
  }
  return setting;
}

std::string DetectionProposalText(const LineDetection& found, bool keepSpeed) {
  if (!found.speedFound) {
    std::string text = "判別できません: " + found.reason;
    if (!found.candidateSpeeds.empty()) {
      text += "\n候補の通信速度:";
      for (const int s : found.candidateSpeeds) text += " " + std::to_string(s);
    }
    return text;
  }
  std::string codes;
  for (const TapeCode c : found.codes) codes += (codes.empty() ? "" : " / ") + std::string(TapeCodeName(c));
  std::string text = "通信速度: " + (keepSpeed ? std::string("判別できません (デバイスサーバーの設定)")
                                                : std::to_string(found.speed)) + "\n";
  if (found.codes.size() != 1) {
    return text + "コード: 判別できません (候補 " + codes +
           ")。別のプログラムで試してください。";
  }
  text += "コード: " + codes;
  if (found.codes.front() == TapeCode::ASCII) text += found.asciiStopAsBit8 ? " (データ長 7)" : " (データ長 8)";
  return text + "\nストップビット: 2 (バイトからは判別できません。2 なら 1 の NC 機も読めます)";
}

}  // namespace quelvo
