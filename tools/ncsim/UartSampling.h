// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace quelvo::ncsim {

// The character format of one end of an asynchronous serial line.
struct UartFormat {
    long baud = 9600;
    int dataBits = 8;     // 5 to 8
    char parity = 'N';    // 'N', 'E' or 'O'
    int stopBits = 1;     // 1 or 2

    bool operator==(const UartFormat& o) const {
        return baud == o.baud && dataBits == o.dataBits && parity == o.parity && stopBits == o.stopBits;
    }
    bool operator!=(const UartFormat& o) const { return !(*this == o); }
};

// What the receiving UART delivered, and how many of its characters failed
// their stop bit or their parity.
struct UartSampled {
    std::vector<std::uint8_t> bytes;
    int framingErrors = 0;
    int parityErrors = 0;
};

// What a UART set to `receiver` reads when the other end sends `sent`
// back to back at `sender`, the line idle (mark) before and after. The
// receiver works as the common chips do: it hunts for a low level at 16 times
// its bit rate, confirms the start bit in its middle, samples every further bit
// in its middle and checks the first stop bit only; after that sample it hunts
// again at once, so a low stop bit is taken for the next start bit. A byte with
// a framing or parity error is delivered as sampled (a port opened without
// input parity checking passes it on unchanged).
UartSampled SampleAsUart(const std::vector<std::uint8_t>& sent, const UartFormat& sender,
                         const UartFormat& receiver);

}  // namespace quelvo::ncsim
