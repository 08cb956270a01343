// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/send/SendSequences.h"

#include "core/settings/CommSetting.h"
#include "core/transfer/TapeCode.h"

namespace quelvo {
namespace {

constexpr std::size_t kLeaderSpaces = 200;
constexpr int kLeaderPauseMs = 1000;

}  // namespace

std::string LineEndSequence(int CRLF_Type) {
  switch (CRLF_Type) {
    case 0: return "\n";
    case 1: return "\r\n";
    case 2: return "\r\n\n";
    case 3: return "\r";
    default: return "";
  }
}

std::string FeedSpaces(int Speed, int Feed) {
  if (Speed != kTapeDeviceSpeed || Feed < 1 || Feed > 3) return "";
  return std::string(static_cast<std::size_t>(20 * Feed), ' ');
}

StartSequence StartSequenceFor(int StartChar, int CRLF_Type) {
  const std::string lineEnd = LineEndSequence(CRLF_Type);
  const std::string leader(kLeaderSpaces, ' ');
  switch (StartChar) {
    case 1: return {0, "%"};
    case 2: return {0, "%%"};
    case 3: return {0, "% *"};
    case 4: return {0, leader + lineEnd};
    case 5: return {kLeaderPauseMs, lineEnd};
    case 6: return {0, leader + "%"};
    case 7: return {kLeaderPauseMs, "%"};
    case 8: return {0, "12345\n%"};
    default: return {};
  }
}

std::string EndSequenceFor(int EndChar, int Speed, int CRLF_Type) {
  const std::string lineEnd = LineEndSequence(CRLF_Type);
  switch (EndChar) {
    case 0: return lineEnd + "%";
    case 1:
      if (Speed == kTapeDeviceSpeed) return lineEnd + "%";
      return std::string(1, static_cast<char>(kDC4));
    case 2: return lineEnd + "%%";
    default: return "";
  }
}

int32_t CheckIntervalFor(int i, int32_t current) {
  if (i >= 0 && i <= 8) return 10 + 5 * i;
  if (i >= 9 && i <= 13) return 10 * i - 30;
  if (i >= 14 && i <= 18) return 20 * i - 160;
  if (i >= 19 && i <= 24) return 50 * i - 700;
  if (i >= 25 && i <= 29) return 100 * i - 1900;
  return current;
}

}  // namespace quelvo
