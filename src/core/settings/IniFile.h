// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings file format shared by every settings file: CP932 text lines,
// "[Section]" headers and "Key=Value" entries; sections and keys matched without
// regard to case, key names trimmed; integers as decimal or "0x" hexadecimal;
// values capped at 2047 bytes on reading; booleans "1"/"0". Every write goes to
// the file at once (written atomically), replacing the key's line in place and
// keeping every other line.
//
// Error convention of the settings layer: reading never fails (a missing file,
// section or key gives the caller's default); a write returns false and leaves
// the text for the user in WriteError(); nothing throws and nothing is shown
// from here.
#include <string>
#include <vector>

namespace quelvo {

class IniFile {
 public:
  explicit IniFile(std::string path);

  const std::string& Path() const { return path_; }

  // Texts are UTF-8 in memory; the file is CP932.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;

  // Each returns false when the file cannot be written; WriteError() then holds
  // "<path> に書き込めません" (with the system's reason kept in SystemReason()).
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, int value);
  bool WriteBool(const std::string& section, const std::string& key, bool value);

  const std::string& WriteError() const { return writeError_; }
  const std::string& SystemReason() const { return systemReason_; }

 private:
  std::string path_;
  std::string writeError_;
  std::string systemReason_;
};

}  // namespace quelvo
