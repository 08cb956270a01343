// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program-list dialog (ProgramPicker) needs from the window that owns the
// document: the editor, the question and folder prompts, the document's file
// name, the encoding check before a save, and the report that a save left the
// document unmodified. The main window implements it; the dialog knows nothing
// else of the window.
#include <string>
#include <string_view>

class QWidget;

namespace quelvo {

class NcEdit;
struct FilePrompts;

class ProgramListHost {
 public:
  virtual ~ProgramListHost() = default;
  virtual QWidget* DialogParent() = 0;
  virtual NcEdit* DocumentEditor() = 0;
  virtual FilePrompts& Prompts() = 0;
  virtual std::string DocumentFileName() const = 0;
  // True when every character of text can be saved, or the user chose to go on.
  virtual bool ConfirmEncodable(std::string_view text) = 0;
  // The document is as saved: no modified mark in the title or the panel.
  virtual void ShowDocumentUnmodified() = 0;
};

}  // namespace quelvo
