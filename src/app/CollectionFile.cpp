#include "app/CollectionFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "editor/DocumentFile.h"

namespace quelvo {

namespace {

bool WriteBytes(const std::string& path, const char* mode, std::string_view bytes, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), mode);
  if (file == nullptr) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  int savedErrno = ok ? 0 : errno;
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    savedErrno = errno;
  }
  if (!ok && error) *error = std::strerror(savedErrno);
  return ok;
}

}  // namespace

bool ResetCollectionFile(const std::string& path, std::string* error) {
  return WriteBytes(path, "wb", {}, error);
}

bool AppendToCollection(const std::string& path, std::string_view editorText, std::string* error) {
  std::string bytes = DocumentBytesFromText(editorText);
  if (!bytes.empty() && bytes.back() != '\n') bytes += "\r\n";
  return WriteBytes(path, "ab", bytes, error);
}

}  // namespace quelvo
