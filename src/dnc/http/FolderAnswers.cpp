// SPDX-License-Identifier: GPL-3.0-or-later
#include "dnc/http/FolderAnswers.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <sstream>

#include "core/common/AtomicFile.h"
#include "core/common/JsonText.h"
#include "core/compare/CompareReport.h"
#include "core/dnc/DncFolderViews.h"
#include "core/dnc/DncNames.h"
#include "core/dnc/DncSpool.h"
#include "core/dnc/WorkerStatus.h"
#include "core/document/DocumentFile.h"
#include "core/document/TextLines.h"

namespace quelvo::http {
namespace {

Answer Error(unsigned status, const std::string& message) {
  Answer a;
  a.status = status;
  a.body = "{\"error\": " + JsonString(message) + "}\n";
  return a;
}

Answer Json(unsigned status, const std::string& body, const std::string& journal = "") {
  Answer a;
  a.status = status;
  a.body = body + "\n";
  a.journal = journal;
  return a;
}

std::string FilesJson(const MachineConfig& machine, const std::vector<StoredFile>& files) {
  std::string out = "{\"machine\": " + JsonString(machine.name) + ", \"files\": [";
  for (size_t i = 0; i < files.size(); ++i) {
    out += (i ? ", " : "") + std::string("{\"name\": ") + JsonString(files[i].name) +
           ", \"bytes\": " + std::to_string(files[i].bytes) + ", \"time\": " + std::to_string(files[i].time) + "}";
  }
  return out + "]}";
}

std::string QueueArray(const MachineConfig& machine) {
  std::string out = "[";
  const std::vector<std::string> files = SpooledFiles(machine.spool);
  for (size_t i = 0; i < files.size(); ++i) out += (i ? ", " : "") + JsonString(files[i]);
  return out + "]";
}

// The whole of a file opened with OpenStoredFile.
bool ReadStored(const std::string& folder, const std::string& name, std::string* bytes, std::string* error) {
  const int fd = OpenStoredFile(folder, name, error);
  if (fd < 0) return false;
  bytes->clear();
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = name + ": cannot be read";
      ::close(fd);
      return false;
    }
    bytes->append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

}  // namespace

Answer LibraryListAnswer(const MachineConfig& machine) {
  return Json(200, FilesJson(machine, LibraryPrograms(machine.library)));
}

Answer QueueFromLibraryAnswer(const MachineConfig& machine, const std::string& file, std::time_t now) {
  std::string path, why, placed, error;
  if (!ResolveLibraryFile(machine.library, file, &path, &why)) return Error(404, why);
  if (!EnqueueFile(machine.spool, path, now, &placed, &error)) {
    Answer a = Error(500, "the spool cannot be written");
    a.journal = machine.name + ": " + error;
    return a;
  }
  const std::string queued = placed.substr(placed.rfind('/') + 1);
  return Json(201, "{\"queued\": " + JsonString(queued) + "}",
              machine.name + ": queued " + queued + " from the library");
}

Answer MoveQueuedAnswer(const MachineConfig& machine, const std::string& file, int steps) {
  std::string error;
  if (!MoveQueued(machine.spool, file, steps, &error)) return Error(404, error);
  return Json(200, "{\"moved\": " + JsonString(file) + ", \"files\": " + QueueArray(machine) + "}",
              machine.name + ": moved " + file + (steps < 0 ? " up" : " down") + " in the queue");
}

Answer InboxListAnswer(const MachineConfig& machine) { return Json(200, FilesJson(machine, InboxFiles(machine.inbox))); }

Answer InboxCompareAnswer(const MachineConfig& machine, const std::string& file, size_t maxText) {
  std::string received, error;
  if (!ReadStored(machine.inbox, file, &received, &error)) return Error(404, error);
  std::string libraryPath, why, stored;
  if (!ResolveLibraryFile(machine.library, file, &libraryPath, &why)) return Error(404, why);
  if (!ReadWholeFile(libraryPath, &stored, &error)) return Error(500, file + ": the library's file cannot be read");
  // A program punched back comes framed in "%" and tape feed whatever it was sent with.
  CompareOptions options;
  options.ignoreFrame = true;
  const std::string a = DocumentTextFromBytes(stored), b = DocumentTextFromBytes(received);
  const ComparedProgram library{"library/" + file, SplitTextLines(a)}, inbox{"inbox/" + file, SplitTextLines(b)};
  const CompareResult result = CompareLines(library.lines, inbox.lines, options);
  std::ostringstream report;
  WriteCompareText(library, inbox, result, report);
  std::string text = report.str();
  const bool cut = text.size() > maxText;
  if (cut) text = text.substr(0, maxText) + "\n…\n" + CompareSummaryText(result) + "\n";
  return Json(200, "{\"file\": " + JsonString(file) + ", \"same\": " + (result.Same() ? "true" : "false") +
                       ", \"changed\": " + std::to_string(result.changed) + ", \"added\": " +
                       std::to_string(result.added) + ", \"removed\": " + std::to_string(result.removed) +
                       ", \"summary\": " + JsonString(CompareSummaryText(result)) +
                       ", \"cut\": " + (cut ? "true" : "false") + ", \"text\": " + JsonString(text) + "}");
}

Answer LastLogAnswer(const DncConfig& config, const MachineConfig& machine, size_t maxBytes) {
  const std::string path = LastTransferLog(config.logDir, machine.name);
  if (path.empty()) return Error(404, "no transfer log of " + machine.name + " yet");
  const std::string name = path.substr(path.rfind('/') + 1);
  std::string bytes, error;
  if (!ReadStored(config.logDir, name, &bytes, &error)) return Error(404, error);
  if (bytes.size() > maxBytes) bytes = bytes.substr(bytes.size() - maxBytes);
  // Logs are CP932 with CR LF; the page gets UTF-8 with LF.
  std::string text = DocumentTextFromBytes(bytes), lf;
  for (const char c : text)
    if (c != '\r') lf += c;
  Answer a;
  a.body = "{\"file\": " + JsonString(name) + ", \"text\": " + JsonString(lf) + "}\n";
  return a;
}

Answer NoticeAckAnswer(const DncConfig& config, const MachineConfig& machine) {
  std::string error;
  if (!AcknowledgeNotice(config.stateDir, machine.name, &error)) {
    Answer a = Error(500, "the acknowledgement cannot be written");
    a.journal = machine.name + ": " + error;
    return a;
  }
  return Json(202, "{\"acknowledged\": " + JsonString(machine.name) + "}",
              machine.name + ": the notice acknowledged through the dashboard");
}

std::string AttachmentHeader(const std::string& file) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string ascii, encoded;
  for (const char c : file) {
    const auto u = static_cast<unsigned char>(c);
    const bool plain = std::isalnum(u) || c == '.' || c == '-' || c == '_';
    ascii += plain ? c : '_';
    if (plain) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[u >> 4];
      encoded += kHex[u & 15];
    }
  }
  return "attachment; filename=\"" + ascii + "\"; filename*=UTF-8''" + encoded;
}

}  // namespace quelvo::http
