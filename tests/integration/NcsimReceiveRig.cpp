// SPDX-License-Identifier: GPL-3.0-or-later
#include "NcsimReceiveRig.h"

#include <cstdint>

#include "NcsimProcess.h"

namespace quelvo::test {
namespace {

// The engine's loops pass through Idle once per character, each a
// virtual millisecond: a reception of tens of megabytes is no runaway.
constexpr int64_t kNoRunaway = INT64_MAX / 2;

}  // namespace

NcsimReceiveRig::NcsimReceiveRig(const std::string& folder) : folder_(folder), linkPath_(folder + "/ncport") {
  host.runawayMs = kNoRunaway;
  setting.Port_R = linkPath_;
  setting.Code_R = 0;
  setting.Word = 1;
  setting.SE_Char = 3;
  setting.Signal_R = 1;
}

NcsimReceiveRig::~NcsimReceiveRig() = default;

bool NcsimReceiveRig::StartControl(const std::string& programPath, const std::string& code,
                                   long dropAfter, const std::vector<std::string>& extraArgs) {
  std::vector<std::string> args{"--link", linkPath_, "--code", code, "--baud", "0",
                                "--invite-ms", "600000", "--punch", programPath, "--punch-after",
                                "0.3", "--once"};
  if (dropAfter >= 0) args.insert(args.end(), {"--drop-after", std::to_string(dropAfter)});
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  control_ = std::make_unique<ncsim::test::NcsimProcess>(args);
  // ncsim reads and encodes the whole program before it publishes the line.
  return !control_->WaitFor("ready", 60000).empty();
}

ReceiveOutcome NcsimReceiveRig::Receive(const std::string& target) {
  ReceiveJob job;
  job.TransferFileName = target;
  job.DirPath = folder_;
  job.versionSuffix = " Ver1.47";
  job.logFilePath = folder_ + "/quelvo_R.log";
  return engine_.RunReceive(setting, job);
}

std::string NcsimReceiveRig::ControlReport(const std::string& prefix, int timeoutMs) {
  return control_ ? control_->WaitFor(prefix, timeoutMs) : std::string();
}

}  // namespace quelvo::test
