// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/SyntaxColors.h"

#include <algorithm>
#include <cmath>

namespace quelvo {
namespace {

struct Hue {
  double degrees;
  double saturation;
};

// By NcStyle, Default unused.
constexpr Hue kHues[kNcStyleCount] = {
    {0, 0},       // Default
    {20, 0.90},   // ProgramNumber: orange
    {210, 0.12},  // Sequence: grey, sequence numbers are mostly noise
    {220, 0.85},  // GCode: blue
    {300, 0.65},  // MCode: magenta
    {175, 0.75},  // Axis: teal
    {35, 0.85},   // Word (F S T H D): amber
    {120, 0.40},  // Comment: green
    {0, 0.80},    // Percent: red
    {270, 0.55},  // Macro: violet
};

double Channel(std::uint8_t v) {
  const double c = v / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const Rgb& c) {
  return 0.2126 * Channel(c.r) + 0.7152 * Channel(c.g) + 0.0722 * Channel(c.b);
}

std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }

Rgb FromHsl(const Hue& hue, double lightness) {
  const double c = (1 - std::fabs(2 * lightness - 1)) * hue.saturation;
  const double h = hue.degrees / 60.0;
  const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  if (h < 1) {
    r = c, g = x;
  } else if (h < 2) {
    r = x, g = c;
  } else if (h < 3) {
    g = c, b = x;
  } else if (h < 4) {
    g = x, b = c;
  } else if (h < 5) {
    r = x, b = c;
  } else {
    r = c, b = x;
  }
  const double m = lightness - c / 2;
  return Rgb{Byte(r + m), Byte(g + m), Byte(b + m)};
}

// From the middle lightness towards black on a light background, towards white
// on a dark one, the first colour that reaches the contrast; the far end when
// none does (a mid-grey background).
Rgb Readable(const Hue& hue, const Rgb& background) {
  const bool darker = ContrastRatio(background, Rgb{0, 0, 0}) >= ContrastRatio(background, Rgb{255, 255, 255});
  Rgb colour{};
  for (int step = 0; step <= 50; ++step) {
    const double lightness = darker ? 0.5 - step / 100.0 : 0.5 + step / 100.0;
    colour = FromHsl(hue, lightness);
    if (ContrastRatio(colour, background) >= kSyntaxContrast) break;
  }
  return colour;
}

// The hue and saturation of a colour (HSL).
Hue HueOf(const Rgb& c) {
  const double r = c.r / 255.0, g = c.g / 255.0, b = c.b / 255.0;
  const double high = std::max({r, g, b}), low = std::min({r, g, b});
  const double chroma = high - low;
  if (chroma <= 0) return Hue{0, 0};
  double degrees = high == r ? std::fmod((g - b) / chroma, 6.0) : high == g ? (b - r) / chroma + 2 : (r - g) / chroma + 4;
  degrees *= 60;
  if (degrees < 0) degrees += 360;
  const double lightness = (high + low) / 2;
  return Hue{degrees, chroma / (1 - std::fabs(2 * lightness - 1))};
}

}  // namespace

Rgb ReadableTextColor(const Rgb& text, const Rgb& background) {
  if (ContrastRatio(text, background) >= kSyntaxContrast) return text;
  return Readable(HueOf(text), background);
}

double ContrastRatio(const Rgb& a, const Rgb& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb SyntaxColor(NcStyle style, const Rgb& background, const Rgb& text) {
  if (style == NcStyle::Default) return ReadableTextColor(text, background);
  return Readable(kHues[static_cast<int>(style)], background);
}

Rgb UncarriedMarkColor(const Rgb& background) { return Readable(Hue{0, 1.0}, background); }

}  // namespace quelvo
