// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moving a document between disk and the editor. On disk a document is CP932
// with CR LF line ends; in the editor it is UTF-8 with CR LF line ends. Loading
// and saving go through the lossless codec, so a file loaded and saved without
// edits comes back byte for byte, except that its line ends become CR LF and
// nothing from its first zero byte on is loaded.
//
// Error convention of the document layer: a call that reads or writes a file
// returns a result struct (or bool) that carries the failure's reason as text
// for the user; nothing throws and nothing is shown from here.
//
// Loading a document, as the window does it:
//   DocumentLoad load = ReadDocumentFile(path);
//   if (!load.opened) -> show load.error, keep the document;
//   if (load.needsFormatQuestion) -> ask kFormatQuestion; on Yes
//       load.text = ReadDocumentFileByLines(path);
//   editor text = load.text; DirPath = load.dirPath; size = load.size.
#include <cstdint>
#include <string>
#include <string_view>

namespace quelvo {

// Longest piece the line-by-line reader takes at once: a longer line arrives as
// several lines of at most this many bytes.
constexpr std::size_t kFallbackLineBytes = 499;

struct DocumentLoad {
  bool opened = false;       // false: the file could not be read, see error
  std::string error;         // the system's reason when !opened
  std::uint64_t size = 0;    // file size in bytes
  std::string text;          // UTF-8, CR LF line ends, ready for the editor
  // True when text is empty (empty file, or a zero byte first): the user is asked
  // whether to read the file line by line instead.
  bool needsFormatQuestion = false;
  std::string dirPath;       // the file's folder with a trailing "/"
  bool utf8 = false;         // the file is UTF-8 text, not CP932 (Utf8Look.h)
};

// The editor text for a file's bytes: everything before the first zero byte.
std::string DocumentTextFromBytes(std::string_view bytes);

// The line-by-line reading offered when DocumentTextFromBytes gives nothing:
// CR LF counts as one line end, each piece holds at most kFallbackLineBytes bytes,
// every piece is cut at its first zero byte, and pieces left empty are dropped.
// Each remaining piece becomes one line of the result, ended by CR LF.
std::string FallbackTextFromBytes(std::string_view bytes);

// The bytes a document text is saved as: CP932 with CR LF line ends.
std::string DocumentBytesFromText(std::string_view text);

// The folder part of a path with its trailing "/" ("/a/b.nc" -> "/a/"), empty
// for a bare file name.
std::string DirectoryWithSlash(const std::string& path);

DocumentLoad ReadDocumentFile(const std::string& path);
// Reads the file again for the line-by-line reading; empty when it cannot be read.
std::string ReadDocumentFileByLines(const std::string& path);

// Writes the document through a temporary file beside the target, renamed over
// it, so a failed save leaves the old file whole. False with the system's reason.
bool SaveDocumentFile(const std::string& path, std::string_view text, std::string* error);

}  // namespace quelvo
