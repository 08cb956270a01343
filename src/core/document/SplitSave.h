// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Split save: each program of a document written to a file of its own, named
// after its program number, in a folder the user picks.
//
// The window plans from the document and the dialog's list, puts
// plan.trimmedText back into the editor when plan.textTrimmed (keeping the
// modified flag as it was), then writes the files:
//   SplitPlan plan = PlanSplitSave(text, items, folder, CurrentFileName, choices);
//   SplitWriteResult result = WriteSplitFiles(plan, progress);
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/ProgramList.h"
#include "core/settings/ProgramSettings.h"

namespace quelvo {

struct SplitFile {
  std::string path;
  std::string text;  // UTF-8, CR LF line ends
};

struct SplitPlan {
  std::vector<SplitFile> files;  // in writing order, one per path
  int programCount = 0;          // program start lines, written or not
  // The document with leading blanks and control characters removed from every
  // line, as the split save leaves it; textTrimmed tells whether that changed it.
  std::string trimmedText;
  bool textTrimmed = false;
};

// choices (the F_Set, B_Set, N_Set keys of Sub.ini): percentAtStart and
// percentAtEnd add a line "%" at the start and the end of every file,
// serialNumbers "_001", "_002" … after every name.
// Each file holds an optional "%" line, the program start line and the lines up
// to the next program start line (lines starting with "%" left out, leading
// blanks removed), and an optional "%" line. Lines before the first program go
// once into the first program's file. A program whose name is the name of an
// unchecked item gets no file, but still counts for the serial numbers. Two
// programs under one path leave the later one. The file name is
// folder + "/" + name (+ serial) + the extension of currentFileName.
SplitPlan PlanSplitSave(std::string_view documentText, const std::vector<ProgramListItem>& items,
                        const std::string& folder, const std::string& currentFileName,
                        const SplitSaveChoices& choices);

// The extension of a file name with its dot ("/a/b.NC" -> ".NC"), empty when none.
std::string FileExtension(const std::string& fileName);

struct SplitWriteResult {
  bool ok = true;
  std::size_t written = 0;   // files written before a failure (they stay)
  std::string failedPath;
  std::string error;         // the system's reason
};

// Writes the planned files in order as CP932, each through a temporary file;
// stops at the first file that cannot be written. progress(done, total) is
// called after every file.
SplitWriteResult WriteSplitFiles(const SplitPlan& plan,
                                 const std::function<void(std::size_t, std::size_t)>& progress = {});

}  // namespace quelvo
