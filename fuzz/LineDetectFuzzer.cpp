// SPDX-License-Identifier: GPL-3.0-or-later
// Line detection on arbitrary bytes heard punch after punch: it must end
// within a bounded number of punches, only ever ask for offered speeds and 7
// or 8 data bits, and a found speed must be one it listened at.
#include <algorithm>
#include <set>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "core/transfer/LineDetect.h"

using namespace quelvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const std::vector<int> speeds{2400, 4800, 9600, 14400, 19200};
  const bool fixed = in.Chance(20);
  LineDetector detector(speeds, fixed ? 9600 : 0);
  const std::string rest = in.Rest();
  std::set<int> heardAt;
  size_t at = 0;
  int punches = 0;
  while (!detector.Done()) {
    fuzz::Check(++punches <= 40, "detection ends");
    const int speed = detector.NextSpeed();
    fuzz::Check(fixed ? speed == 9600 : std::find(speeds.begin(), speeds.end(), speed) != speeds.end(),
                "listens at an offered speed");
    fuzz::Check(detector.NextDataBits() == 7 || detector.NextDataBits() == 8, "7 or 8 data bits");
    heardAt.insert(speed);
    // Each punch takes the next piece of the input, up to the next 0xFF.
    std::vector<uint8_t> bytes;
    while (at < rest.size() && static_cast<uint8_t>(rest[at]) != 0xFF) bytes.push_back(static_cast<uint8_t>(rest[at++]));
    ++at;
    detector.Heard(bytes);
  }
  const LineDetection& r = detector.Result();
  if (r.speedFound) {
    fuzz::Check(heardAt.count(r.speed) == 1, "a found speed was heard");
    fuzz::Check(!r.codes.empty(), "a found speed has a code");
  }
  return 0;
}
