// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The service's library of program revisions: an ordinary git repository, so
// that a shop reads it with git's own tools (git log O1234.nc, git show).
//
// - Each program is one file at the top of the repository, named after its
//   program number ("O1234.nc"; a program without one keeps its file name).
// - A program received from a control is committed with the machine as its
//   author; the message names the program, machine, time, bytes and kind:
//       O1234 received from mc01
//
//       Program: O1234
//       Machine: mc01
//       Time: 2026/12/08 08:30:00
//       Bytes: 1234
//       Kind: punch
// - A program sent is committed the same way ("O1234 sent to mc01") when the
//   library does not hold that text yet, then marked: the lightweight tag
//   sent/MACHINE/PROGRAM moves to the revision sent, and a line
//   "sent to MACHINE at TIME (KIND)" is added to the revision's note
//   (refs/notes/commits, which git log shows).
// - An existing repository is used as it is, the user's commits kept; a folder
//   that is not a repository is made one.
//
// One object serves all workers of a service: every call takes a lock.
// Errors: bool results, the reason in *error.
#include <cstddef>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

struct git_repository;

namespace quelvo {

struct ProgramRevision {
  std::string commit;     // the revision's full commit id
  std::time_t time = 0;   // when it was received or sent
  std::string machine;
  bool sent = false;      // sent to the machine (else received from it)
  std::string kind;       // punch, request, queue
  std::size_t bytes = 0;
};

class ProgramHistory {
 public:
  ProgramHistory();
  ~ProgramHistory();
  ProgramHistory(const ProgramHistory&) = delete;
  ProgramHistory& operator=(const ProgramHistory&) = delete;

  // Opens the repository in `folder`, making the folder and the repository
  // when they are not there.
  bool Open(const std::string& folder, std::string* error);
  // Opens an existing repository only (for reading).
  bool OpenExisting(const std::string& folder, std::string* error);
  const std::string& Folder() const { return folder_; }

  // The file a program is kept in: "O1234.nc" for "O1234".
  static std::string FileOf(const std::string& program);

  // Commits `bytes` as the program received from `machine`; *commit gets its id.
  bool RecordReceived(const std::string& program, const std::string& machine, const std::string& bytes,
                      const std::string& kind, std::time_t when, std::string* commit, std::string* error);
  // Records `bytes` as sent to `machine` (committed first when new to the library).
  bool RecordSent(const std::string& program, const std::string& machine, const std::string& bytes,
                  const std::string& kind, std::time_t when, std::string* error);
  // The text of the revision last sent to `machine`; false (error empty) when
  // none was, false with a reason on a fault.
  bool LastSent(const std::string& program, const std::string& machine, std::string* bytes, std::string* error);
  // The text of the revision last received from a control (any machine) and
  // that revision; false (error empty) when none was, false with a reason on a fault.
  bool LastReceived(const std::string& program, std::string* bytes, ProgramRevision* revision, std::string* error);
  // Every revision of the program, received and sent, oldest first.
  bool History(const std::string& program, std::vector<ProgramRevision>* revisions, std::string* error);

 private:
  bool Commit(const std::string& program, const std::string& bytes, const std::string& author,
              const std::string& message, std::time_t when, std::string* commit, std::string* error);
  bool HeadHolds(const std::string& file, const std::string& bytes);

  std::mutex mutex_;
  git_repository* repo_ = nullptr;
  std::string folder_;
};

// The last revision of `program` ("O1234") received from a control in the
// library repository `folder`, read without changing anything there. False
// with the reason ("no revision of O1234 received" when there is none).
bool LastReceivedRevision(const std::string& folder, const std::string& program, std::string* bytes,
                          ProgramRevision* revision, std::string* error);

// What the window compares an open document with: the last revision of the
// document's program (ProgramNameOf its bytes and file name) received in the
// library `folder`, as document text (UTF-8), and a name for it that says
// where it came from: "O1234 mc01 から受信 2026/12/08 08:30:00 (1a2b3c4d5e6f)".
struct ReceivedRevisionText {
  std::string program;
  std::string text;
  std::string name;
};
bool LastReceivedForDocument(const std::string& folder, const std::string& documentBytes,
                             const std::string& fileName, ReceivedRevisionText* out, std::string* error);

// "O1234" for a text whose first program-number line is "O1234 (...)"; the
// file name without its extension otherwise.
std::string ProgramNameOf(const std::string& bytes, const std::string& fileName);

}  // namespace quelvo
