// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/send/SendTimeEstimate.h"

namespace quelvo {

void EstimateRemainingTime(SendCounters& c) {
  // Each counter is read once, so that one estimate works on one set of values.
  const int32_t sent = c.SentChars.load();
  const int32_t last = c.LastSampleChars.load();
  const int32_t total = c.TotalChars.load();
  const int64_t moved = static_cast<int64_t>(sent) - last;
  if (moved <= 10 && moved >= -10) return;
  const int64_t rate = moved / kEstimateIntervalSeconds;
  if (rate <= 0) return;
  const int64_t left = static_cast<int64_t>(total) - sent;
  c.RemainingSeconds.store(static_cast<int32_t>(left > 0 ? left / rate : 0));
  c.LastSampleChars.store(sent);
}

}  // namespace quelvo
