// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file a reception fills. Until the first program data arrives it is a new
// temporary file beside the target, so a reception that ends before any data
// leaves an existing target exactly as it was; at the start of data it takes
// the target's name, and the received lines are appended to it block by block
// through the open descriptor (memory stays bounded whatever the length of the
// program). A target that exists as a symbolic link is refused, so that a link
// planted at a fixed name is never written through. Every operation returns
// false with the system's reason when it fails.
#include <string>
#include <vector>

namespace quelvo {

class ReceiveTargetFile {
 public:
  ReceiveTargetFile() = default;
  ReceiveTargetFile(const ReceiveTargetFile&) = delete;
  ReceiveTargetFile& operator=(const ReceiveTargetFile&) = delete;
  ~ReceiveTargetFile();

  // Creates the temporary file beside `target`; the target is not touched.
  bool Create(const std::string& target, std::string* error);
  // Renames the temporary file over the target: the data starts.
  bool PutInPlace(std::string* error);
  // Appends each line followed by CR LF (putting the file in place first).
  bool Append(const std::vector<std::string>& lines, std::string* error);
  // Closes the descriptor; a file in place stays, a temporary one goes.
  void Close();
  // Removes what the reception created: the temporary file, or the target
  // once the data had started.
  void Discard();

 private:
  int fd_ = -1;
  std::string target_;
  std::string temp_;
  bool inPlace_ = false;
};

// Moves the received file `from` to `to`. An existing file of that name is
// first renamed to a free backup name, returned in *backup (empty when nothing
// was there). On failure `from` is left as it was; a half-written copy is
// removed.
bool MoveReceivedFile(const std::string& from, const std::string& to, std::string* backup,
                      std::string* error);

}  // namespace quelvo
