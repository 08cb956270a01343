// SPDX-License-Identifier: GPL-3.0-or-later
// The document reader on arbitrary file content, through a real file: the
// load reports the file's size, offers the line-by-line reading exactly when
// it found no text, and a file without zero bytes and line ends saves back
// byte for byte.
#include "FuzzCheck.h"
#include "FuzzFolder.h"
#include "core/document/DocumentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = quelvo::fuzz::FuzzFolder() + "/O1000.nc";
  quelvo::fuzz::WriteFuzzFile(path, bytes);

  quelvo::DocumentLoad load = quelvo::ReadDocumentFile(path);
  quelvo::fuzz::Check(load.opened && load.size == size, "the file loads with its size");
  quelvo::fuzz::Check(load.needsFormatQuestion == load.text.empty(),
                      "the line-by-line reading is offered exactly when no text was found");
  if (load.needsFormatQuestion) load.text = quelvo::ReadDocumentFileByLines(path);
  quelvo::DocumentBytesFromText(load.text);

  if (bytes.find_first_of(std::string("\0\r\n", 3)) == std::string::npos) {
    quelvo::fuzz::Check(quelvo::DocumentBytesFromText(load.text) == bytes,
                        "a line without line end saves back as it was read");
  }
  return 0;
}
