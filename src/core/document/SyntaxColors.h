// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The colours of the NC syntax styles, made for the editor's own background:
// each style keeps its hue (blue G codes, magenta M codes, teal axis words...)
// and takes the lightness nearest the middle that still reads against the
// background, darker on a light background, lighter on a dark one. The
// background keeps the user's stored colour; so does the default text where it
// reads against it (else its hue, made readable as a style's is: black text
// stays black on white and turns light grey on black).
#include "core/document/ColorValue.h"
#include "core/document/NcSyntax.h"

namespace quelvo {

// Contrast the colours of a style reach against their background where the
// background allows it (the WCAG ratio for normal text).
constexpr double kSyntaxContrast = 4.5;

// The WCAG contrast ratio of two colours, 1 to 21.
double ContrastRatio(const Rgb& a, const Rgb& b);

// The stored text colour `text` as shown on `background`: itself when it reaches
// kSyntaxContrast, else the colour of its hue nearest the middle that does.
// The editor's default text and caret take it, with syntax colours or without.
Rgb ReadableTextColor(const Rgb& text, const Rgb& background);

// The colour of `style` on `background`; NcStyle::Default gives ReadableTextColor.
Rgb SyntaxColor(NcStyle style, const Rgb& background, const Rgb& text);

// The red of the mark under characters the send code cannot carry.
Rgb UncarriedMarkColor(const Rgb& background);

}  // namespace quelvo
