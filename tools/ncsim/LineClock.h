// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>

namespace quelvo::ncsim {

// Paces one direction of the emulated line: a character takes ten bit times
// (start, eight data, stop), so at B baud at most B/10 characters pass per
// second. Idle time builds up only a small burst allowance, as a real UART
// holds only a few characters.
class LineClock {
public:
    using Clock = std::chrono::steady_clock;

    // baud 0 means no limit. burstMs: how much line time may pass at once
    // after a late look (at least four characters).
    explicit LineClock(int baud, int burstMs = 2);

    // Characters that may pass at `now`, at most `limit`.
    std::size_t Allowance(Clock::time_point now, std::size_t limit);
    // Records that n characters passed.
    void Consume(std::size_t n);
    // When the next character may pass (now or earlier when one may pass now).
    Clock::time_point NextSlot() const { return next_; }
    bool Unlimited() const { return charTime_.count() == 0; }

private:
    long long burst_ = 4;
    Clock::duration charTime_{};
    Clock::time_point next_;
};

}  // namespace quelvo::ncsim
