// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stored colours are Windows colour values: 0x00BBGGRR for a plain colour, or
// the top bit plus a system colour index (8 window text, 5 window background),
// which the window maps to its palette.
#include <cstdint>

#include "core/settings/SystemColors.h"

namespace quelvo {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

bool IsSystemColorValue(int value);
int SystemColorIndex(int value);  // the index of a system colour value
int SystemColorValue(int index);  // top bit + index

// The colours the system indexes stand for on this desktop.
struct SystemPalette {
  Rgb windowText{0, 0, 0};
  Rgb window{255, 255, 255};
};

// A system colour of another index than 5 or 8 maps to the window text colour.
Rgb ColorValueToRgb(int value, const SystemPalette& palette);
int RgbToColorValue(const Rgb& rgb);

}  // namespace quelvo
