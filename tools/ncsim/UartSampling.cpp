// SPDX-License-Identifier: GPL-3.0-or-later
#include "UartSampling.h"

namespace quelvo::ncsim {

namespace {

// The sender's bits in the order they go out: start, data LSB first, parity, stops.
std::vector<bool> BitStream(const std::vector<std::uint8_t>& sent, const UartFormat& format) {
    std::vector<bool> bits;
    for (const std::uint8_t b : sent) {
        bits.push_back(false);
        int ones = 0;
        for (int i = 0; i < format.dataBits; ++i) {
            const bool bit = ((b >> i) & 1) != 0;
            ones += bit ? 1 : 0;
            bits.push_back(bit);
        }
        if (format.parity == 'E') bits.push_back(ones % 2 != 0);
        if (format.parity == 'O') bits.push_back(ones % 2 == 0);
        for (int i = 0; i < format.stopBits; ++i) bits.push_back(true);
    }
    return bits;
}

}  // namespace

UartSampled SampleAsUart(const std::vector<std::uint8_t>& sent, const UartFormat& sender,
                         const UartFormat& receiver) {
    UartSampled out;
    if (sender.baud <= 0 || receiver.baud <= 0) return out;
    const std::vector<bool> bits = BitStream(sent, sender);
    // Time in whole units of 1 / (sender baud * receiver baud * 16) seconds, so
    // that every bit edge and every sampling instant is exact.
    const std::int64_t senderBit = receiver.baud * 16;
    const std::int64_t receiverBit = sender.baud * 16;
    const std::int64_t tick = sender.baud;  // a sixteenth of a receiver bit
    const auto level = [&](std::int64_t t) {
        if (t < 0) return true;
        const std::int64_t index = t / senderBit;
        return index >= static_cast<std::int64_t>(bits.size()) ? true : bits[static_cast<std::size_t>(index)];
    };
    const std::int64_t end = static_cast<std::int64_t>(bits.size()) * senderBit;
    const int parityBits = receiver.parity == 'N' ? 0 : 1;
    for (std::int64_t t = 0; t < end;) {
        if (level(t)) {
            t += tick;
            continue;
        }
        const std::int64_t start = t;
        if (level(start + receiverBit / 2)) {  // a glitch, not a start bit
            t += tick;
            continue;
        }
        int value = 0;
        int ones = 0;
        for (int i = 0; i < receiver.dataBits; ++i) {
            if (level(start + receiverBit / 2 + (i + 1) * receiverBit)) {
                value |= 1 << i;
                ++ones;
            }
        }
        std::int64_t at = start + receiverBit / 2 + (receiver.dataBits + 1) * receiverBit;
        if (parityBits != 0) {
            const bool parity = level(at);
            const bool even = (ones + (parity ? 1 : 0)) % 2 == 0;
            if (even != (receiver.parity == 'E')) ++out.parityErrors;
            at += receiverBit;
        }
        if (!level(at)) ++out.framingErrors;
        out.bytes.push_back(static_cast<std::uint8_t>(value));
        t = at + tick;
    }
    return out;
}

}  // namespace quelvo::ncsim
