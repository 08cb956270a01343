// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/ColorValue.h"

namespace quelvo {

bool IsSystemColorValue(int value) { return (static_cast<std::uint32_t>(value) & kSystemColorBit) != 0; }

int SystemColorIndex(int value) { return static_cast<int>(static_cast<std::uint32_t>(value) & 0xFFu); }

int SystemColorValue(int index) {
  return static_cast<int>(kSystemColorBit | (static_cast<std::uint32_t>(index) & 0xFFu));
}

Rgb ColorValueToRgb(int value, const SystemPalette& palette) {
  if (IsSystemColorValue(value))
    return SystemColorIndex(value) == kSystemColorWindow ? palette.window : palette.windowText;
  const auto v = static_cast<std::uint32_t>(value);
  return Rgb{static_cast<std::uint8_t>(v & 0xFFu), static_cast<std::uint8_t>((v >> 8) & 0xFFu),
             static_cast<std::uint8_t>((v >> 16) & 0xFFu)};
}

int RgbToColorValue(const Rgb& rgb) {
  return static_cast<int>(static_cast<std::uint32_t>(rgb.r) | (static_cast<std::uint32_t>(rgb.g) << 8) |
                          (static_cast<std::uint32_t>(rgb.b) << 16));
}

}  // namespace quelvo
