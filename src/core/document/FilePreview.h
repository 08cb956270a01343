// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview of the open dialog: the beginning of the selected file, shown when
// it looks like text.
#include <cstddef>
#include <string>
#include <string_view>

namespace quelvo {

// Most bytes read from a file for its preview.
constexpr std::size_t kPreviewBytes = 1023;
// Bytes looked at when deciding whether a sample is text.
constexpr std::size_t kTextCheckBytes = 100;

// False when one of the first kTextCheckBytes bytes is a zero byte; an empty
// sample is text.
bool IsTextFile(std::string_view bytes);

enum class PreviewKind {
  NotAFile,   // no such file, or a folder: the preview is cleared
  Text,       // text holds what to show
  Binary,     // not text: warn and show kPreviewNotPossible
  ReadError,  // error holds the system's reason; the preview keeps what it had
};

struct FilePreview {
  PreviewKind kind = PreviewKind::NotAFile;
  std::string text;   // UTF-8, up to the first zero byte of the sample
  std::string error;
};

// The text of a sample as shown: up to its first zero byte, decoded from CP932,
// without a lead byte whose second byte was cut off by the sample's end.
std::string PreviewTextFromBytes(std::string_view bytes);

// Reads at most kPreviewBytes bytes of path and classifies them.
FilePreview PreviewFile(const std::string& path);

}  // namespace quelvo
