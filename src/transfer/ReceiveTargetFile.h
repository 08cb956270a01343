#pragma once
// The file a reception fills: created empty at the start, the received lines
// appended block by block (so memory stays bounded whatever the length of the
// program), and finally moved to the name the control sent. Every operation
// returns false with the system's reason when it fails.
#include <string>
#include <vector>

namespace quelvo {

// Creates the file, or empties an existing one.
bool CreateEmptyFile(const std::string& path, std::string* error);

// Appends each line followed by CR LF to the existing file.
bool AppendLinesToFile(const std::string& path, const std::vector<std::string>& lines,
                       std::string* error);

// Moves the received file `from` to `to`, replacing a file of that name. On
// failure `from` is left as it was; a half-written copy is removed.
bool MoveReceivedFile(const std::string& from, const std::string& to, std::string* error);

}  // namespace quelvo
