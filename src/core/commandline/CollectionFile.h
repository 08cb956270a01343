// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The collection file (<base>.tmp beside the program): the files named by the
// command-line arguments "S01=" .. "S10=" are appended to it in argument order,
// and "SE=Y" loads it as the document to send. It is emptied at every start so
// that it holds only what the current command line names.
#include <string>
#include <string_view>

namespace quelvo {

// Empties (or creates) the file. False with the system's reason.
bool ResetCollectionFile(const std::string& path, std::string* error);

// Appends an editor text (UTF-8) as CP932 with CR LF line ends. A text whose last
// line has no line end gets one, so the next file starts on a line of its own.
bool AppendToCollection(const std::string& path, std::string_view editorText, std::string* error);

}  // namespace quelvo
