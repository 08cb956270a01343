// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One thing the window does for a command-line argument. The argument rules
// (CommandLineRules.h) turn the argument list into these, in order, so that the
// window only carries them out.
#include <string>

namespace quelvo {

enum class CommandLineActionKind {
  CollectFile,     // load `path` into the editor and append its text to the collection file
  LoadDocument,    // load `path` as the document (ask to save a modified one first when promptSave)
  RequestSend,     // send the document about one second after the window is shown
  NotFound,        // error box `text` (a named file is missing)
  AskOverwrite,    // warning `text` with Yes and No; the answer goes to AnswerOverwrite
  RequestReceive,  // receive into `path` about one second after the window is shown
  CloseAfterTransfer,  // close the program when the automatic transfer completes
  SelectSetting,   // make setting number `setNo` the active one
  Message,         // error box `text` (a setting number that is no setting)
};

struct CommandLineAction {
  CommandLineActionKind kind;
  std::string path;
  std::string text;
  int setNo = 0;
  bool promptSave = false;
};

}  // namespace quelvo
