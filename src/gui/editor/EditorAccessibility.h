// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What assistive technology (a screen reader) is told about the editors.
//
// The editor control's own accessible interface counts the characters from
// the start of the document to the caret every time the caret or the view
// moves, before it asks whether anyone listens. Deep in a large program that
// is tens of milliseconds per step: during a send, which moves the caret to
// every line going out, it cost the window more processor time than the send
// itself and grew with the depth of the line. So while no assistive
// technology is active, an editor gets a plain accessible widget (role and
// name, no text interface); when one becomes active, those plain interfaces
// are dropped and the control's full text interface takes over from the next
// query on.

namespace quelvo {

// Installs the rule once per process; later calls do nothing.
void InstallEditorAccessibility();

}  // namespace quelvo
