// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stored colours are Windows colour values: 0x00BBGGRR for a plain colour, or
// the top bit plus a system colour index, which the window maps to its palette.
// The two system colours the program uses, as indexes and as stored values.
#include <cstdint>

namespace quelvo {

inline constexpr std::uint32_t kSystemColorBit = 0x80000000u;
inline constexpr int kSystemColorWindowText = 8;
inline constexpr int kSystemColorWindow = 5;

inline constexpr int kSysColorWindowText =
    static_cast<int>(kSystemColorBit | kSystemColorWindowText);  // -2147483640
inline constexpr int kSysColorWindow = static_cast<int>(kSystemColorBit | kSystemColorWindow);  // -2147483643

}  // namespace quelvo
