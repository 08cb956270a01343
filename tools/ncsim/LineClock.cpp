// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineClock.h"

namespace quelvo::ncsim {

LineClock::LineClock(int baud, int burstMs) : next_(Clock::now()) {
    if (baud > 0) {
        charTime_ = std::chrono::duration_cast<Clock::duration>(
            std::chrono::nanoseconds(10LL * 1000000000LL / baud));
        // At high speeds let 2 ms of characters pass at once, so that a loop
        // that wakes every millisecond still keeps up with the line (a loop
        // that wakes less often asks for more).
        const long long perBurst = static_cast<long long>(baud) / 10 * burstMs / 1000;
        if (perBurst > burst_) burst_ = perBurst;
    }
}

std::size_t LineClock::Allowance(Clock::time_point now, std::size_t limit) {
    if (Unlimited()) return limit;
    const Clock::time_point earliest = now - charTime_ * (burst_ - 1);
    if (next_ < earliest) next_ = earliest;
    if (now < next_) return 0;
    const auto n = static_cast<std::size_t>((now - next_) / charTime_) + 1;
    return n < limit ? n : limit;
}

void LineClock::Consume(std::size_t n) {
    if (!Unlimited()) next_ += charTime_ * static_cast<long long>(n);
}

}  // namespace quelvo::ncsim
