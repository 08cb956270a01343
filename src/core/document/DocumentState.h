// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window knows about the document it edits. The modified flag is
// the editor control's own; `Modified` mirrors it so that code without the
// control (titles, transfer hosts) can read it.
#include <string>

namespace quelvo {

struct DocumentState {
  std::string CurrentFileName = "無題";
  bool InsertMode = true;     // false: overwrite
  double LastFileSize = 0.0;  // bytes of the last loaded file; 0 until a load
  bool Modified = false;
};

}  // namespace quelvo
