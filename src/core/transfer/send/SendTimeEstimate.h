// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress counters of a send, shared between the send engine (its own thread)
// and the remaining-time worker RemainingTimeWorker, which runs EstimateRemainingTime
// once every ten seconds while the data goes out. Each counter is a 32-bit
// atomic: the two threads read and write them without a lock.
#include <atomic>
#include <cstdint>

namespace quelvo {

struct SendCounters {
  std::atomic<int32_t> TotalChars{0};        // length of the document text - 1
  std::atomic<int32_t> SentChars{0};         // characters accounted as sent
  std::atomic<int32_t> LastSampleChars{0};   // SentChars at the last estimate
  std::atomic<int32_t> RemainingSeconds{0};  // the latest estimate
};

// The interval between two estimates, in seconds.
constexpr int32_t kEstimateIntervalSeconds = 10;

// One estimate from the throughput of the last interval: when more than ten
// characters went out since the last sample, RemainingSeconds becomes what is
// left divided by the characters per second of that interval, and the sample
// moves on. Without progress (or with counters that went backwards, as when a
// new pass begins) nothing changes.
void EstimateRemainingTime(SendCounters& counters);

}  // namespace quelvo
