#pragma once
// The colours of the NC syntax styles, made for the editor's own background:
// each style keeps its hue (blue G codes, magenta M codes, teal axis words...)
// and takes the lightness nearest the middle that still reads against the
// background, darker on a light background, lighter on a dark one. The
// background and the default text keep the user's stored colours.
#include "core/document/ColorValue.h"
#include "core/document/NcSyntax.h"

namespace quelvo {

// Contrast the colours of a style reach against their background where the
// background allows it (the WCAG ratio for normal text).
constexpr double kSyntaxContrast = 4.5;

// The WCAG contrast ratio of two colours, 1 to 21.
double ContrastRatio(const Rgb& a, const Rgb& b);

// The colour of `style` on `background`; NcStyle::Default gives `text`.
Rgb SyntaxColor(NcStyle style, const Rgb& background, const Rgb& text);

// The red of the mark under characters the send code cannot carry.
Rgb UncarriedMarkColor(const Rgb& background);

}  // namespace quelvo
