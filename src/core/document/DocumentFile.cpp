// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/DocumentFile.h"

#include <cstring>

#include "core/common/AtomicFile.h"
#include "core/common/Cp932.h"
#include "core/document/TextLines.h"
#include "core/document/Utf8Look.h"

namespace quelvo {

namespace {

std::string_view BeforeFirstZero(std::string_view bytes) {
  if (bytes.empty()) return bytes;
  const void* zero = std::memchr(bytes.data(), '\0', bytes.size());
  if (!zero) return bytes;
  return bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data()));
}

}  // namespace

std::string DocumentTextFromBytes(std::string_view bytes) {
  // CP932 never uses CR or LF as the second byte of a character, so the line
  // ends can be settled on the raw bytes before they are decoded.
  const std::string_view loaded = BeforeFirstZero(bytes);
  if (MissingCrLfBytes(loaded) == 0) return Cp932ToUtf8(loaded);
  return Cp932ToUtf8(WithCrLfLineEnds(loaded));
}

std::string FallbackTextFromBytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  while (i < size) {
    // One read: up to kFallbackLineBytes characters, ending after a line feed.
    // CR LF arrives as a single line feed, as a text-mode read delivers it.
    const std::size_t start = out.size();
    std::size_t taken = 0;
    while (taken < kFallbackLineBytes && i < size) {
      char c = bytes[i];
      if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
        c = '\n';
        i += 2;
      } else {
        ++i;
      }
      ++taken;
      if (c == '\n') break;  // the line feed itself is not kept
      out.push_back(c);
    }
    const void* zero = std::memchr(out.data() + start, '\0', out.size() - start);
    if (zero) out.resize(static_cast<std::size_t>(static_cast<const char*>(zero) - out.data()));
    if (out.size() == start) continue;  // empty pieces are skipped
    out.append("\r\n");
  }
  NormalizeLineEndsToCrLf(out);  // a lone CR inside a piece is a line end in the editor
  return Cp932ToUtf8(out);
}

std::string DocumentBytesFromText(std::string_view text) {
  std::string bytes = Utf8ToCp932(text);
  NormalizeLineEndsToCrLf(bytes);
  return bytes;
}

std::string DirectoryWithSlash(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  return path.substr(0, slash + 1);
}

DocumentLoad ReadDocumentFile(const std::string& path) {
  DocumentLoad load;
  std::string bytes;
  if (!ReadWholeFile(path, &bytes, &load.error)) return load;
  load.opened = true;
  load.size = bytes.size();
  load.text = DocumentTextFromBytes(bytes);
  load.utf8 = LookForUtf8(bytes).utf8;
  load.needsFormatQuestion = load.text.empty();
  load.dirPath = DirectoryWithSlash(path);
  return load;
}

std::string ReadDocumentFileByLines(const std::string& path) {
  std::string bytes;
  std::string error;
  if (!ReadWholeFile(path, &bytes, &error)) return std::string();
  return FallbackTextFromBytes(bytes);
}

bool SaveDocumentFile(const std::string& path, std::string_view text, std::string* error) {
  return WriteFileAtomically(path, DocumentBytesFromText(text), error);
}

}  // namespace quelvo
