// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/FilePreview.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/common/Cp932.h"
#include "core/common/RegularFile.h"

namespace quelvo {

namespace {

bool IsCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Reads up to max bytes from the start of an open file.
bool ReadSample(int fd, std::size_t max, std::string* bytes, std::string* error) {
  bytes->resize(max);
  std::size_t got = 0;
  while (got < max) {
    const ssize_t n = read(fd, &(*bytes)[got], max - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = std::strerror(errno);
      return false;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes->resize(got);
  return true;
}

}  // namespace

bool IsTextFile(std::string_view bytes) {
  if (bytes.empty()) return true;
  const std::size_t checked = bytes.size() < kTextCheckBytes ? bytes.size() : kTextCheckBytes;
  return std::memchr(bytes.data(), '\0', checked) == nullptr;
}

std::string PreviewTextFromBytes(std::string_view bytes) {
  if (bytes.empty()) return std::string();
  const void* zero = std::memchr(bytes.data(), '\0', bytes.size());
  if (zero) bytes = bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data()));
  // Walk the characters: a lead byte at the very end lost its second byte to the cut.
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (IsCp932LeadByte(static_cast<unsigned char>(bytes[i]))) {
      if (i + 1 == bytes.size()) {
        bytes = bytes.substr(0, i);
        break;
      }
      i += 2;
    } else {
      ++i;
    }
  }
  return Cp932ToUtf8(bytes);
}

FilePreview PreviewFile(const std::string& path) {
  FilePreview preview;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return preview;  // nothing to show
  // The type is checked again on the opened file: it may have been swapped for a FIFO.
  const int fd = OpenRegularFile(path, &preview.error);
  if (fd < 0) {
    preview.kind = PreviewKind::ReadError;
    return preview;
  }
  std::string bytes;
  const bool read = ReadSample(fd, kPreviewBytes, &bytes, &preview.error);
  close(fd);
  if (!read) {
    preview.kind = PreviewKind::ReadError;
    return preview;
  }
  if (!IsTextFile(bytes)) {
    preview.kind = PreviewKind::Binary;
    return preview;
  }
  preview.kind = PreviewKind::Text;
  preview.text = PreviewTextFromBytes(bytes);
  return preview;
}

}  // namespace quelvo
