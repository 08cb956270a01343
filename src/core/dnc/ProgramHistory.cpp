// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/ProgramHistory.h"

#include <git2.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "core/common/AtomicFile.h"
#include "core/common/DateTimeText.h"
#include "core/dnc/DncNames.h"
#include "core/document/DocumentFile.h"

namespace quelvo {

namespace {

std::string GitError(const char* what) {
  const git_error* e = git_error_last();
  return std::string(what) + ": " + (e && e->message ? e->message : "unknown git error");
}

// Owners of libgit2 objects, freed on every way out.
template <typename T, void (*Free)(T*)>
struct Owned {
  T* p = nullptr;
  ~Owned() {
    if (p) Free(p);
  }
  T** operator&() { return &p; }
  operator T*() const { return p; }
};
using Index = Owned<git_index, git_index_free>;
using Tree = Owned<git_tree, git_tree_free>;
using CommitObject = Owned<git_commit, git_commit_free>;
using Signature = Owned<git_signature, git_signature_free>;
using TreeEntry = Owned<git_tree_entry, git_tree_entry_free>;
using Blob = Owned<git_blob, git_blob_free>;
using Note = Owned<git_note, git_note_free>;
using RevWalk = Owned<git_revwalk, git_revwalk_free>;

std::string Oid(const git_oid& id) {
  char text[GIT_OID_HEXSZ + 1];
  git_oid_tostr(text, sizeof text, &id);
  return text;
}

// The text of `file` in a commit's tree; false when the tree has no such file.
bool FileInCommit(git_repository* repo, const git_commit* commit, const std::string& file, std::string* bytes) {
  Tree tree;
  TreeEntry entry;
  Blob blob;
  if (git_commit_tree(&tree, commit) != 0 || git_tree_entry_bypath(&entry, tree, file.c_str()) != 0 ||
      git_blob_lookup(&blob, repo, git_tree_entry_id(entry)) != 0)
    return false;
  bytes->assign(static_cast<const char*>(git_blob_rawcontent(blob)), static_cast<std::size_t>(git_blob_rawsize(blob)));
  return true;
}

// The blob id of `file` in a commit's tree; false when absent.
bool FileId(const git_commit* commit, const std::string& file, git_oid* id) {
  Tree tree;
  TreeEntry entry;
  if (git_commit_tree(&tree, commit) != 0 || git_tree_entry_bypath(&entry, tree, file.c_str()) != 0) return false;
  git_oid_cpy(id, git_tree_entry_id(entry));
  return true;
}

std::string Field(const std::string& message, const char* name) {
  const std::string key = std::string("\n") + name + ": ";
  const std::size_t at = message.find(key);
  if (at == std::string::npos) return "";
  const std::size_t start = at + key.size();
  return message.substr(start, message.find('\n', start) - start);
}

std::string MachineRef(const std::string& machine, const std::string& program) {
  return "refs/tags/sent/" + machine + "/" + program;
}

}  // namespace

ProgramHistory::ProgramHistory() { git_libgit2_init(); }

ProgramHistory::~ProgramHistory() {
  if (repo_) git_repository_free(repo_);
  git_libgit2_shutdown();
}

bool ProgramHistory::OpenExisting(const std::string& folder, std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (git_repository_open_ext(&repo_, folder.c_str(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr) != 0) {
    *error = folder + ": " + GitError("not a git repository");
    return false;
  }
  folder_ = folder;
  return true;
}

bool ProgramHistory::Open(const std::string& folder, std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!EnsureFolder(folder, error)) return false;
  if (git_repository_open_ext(&repo_, folder.c_str(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr) != 0 &&
      git_repository_init(&repo_, folder.c_str(), 0) != 0) {
    *error = folder + ": " + GitError("cannot make a git repository");
    return false;
  }
  folder_ = folder;
  return true;
}

std::string ProgramHistory::FileOf(const std::string& program) { return program + ".nc"; }

bool ProgramHistory::HeadHolds(const std::string& file, const std::string& bytes) {
  git_oid head, blob;
  CommitObject commit;
  if (git_reference_name_to_id(&head, repo_, "HEAD") != 0 || git_commit_lookup(&commit, repo_, &head) != 0) return false;
  git_oid wanted;
  if (git_odb_hash(&wanted, bytes.data(), bytes.size(), GIT_OBJECT_BLOB) != 0) return false;
  return FileId(commit, file, &blob) && git_oid_equal(&blob, &wanted);
}

bool ProgramHistory::Commit(const std::string& program, const std::string& bytes, const std::string& author,
                            const std::string& message, std::time_t when, std::string* commitId,
                            std::string* error) {
  const std::string file = FileOf(program);
  // The working file too, so that the folder shows the newest revision and
  // `git status` stays clean.
  if (!WriteFileAtomically(folder_ + "/" + file, bytes, error)) return false;
  git_oid blob;
  Signature by, committer;
  if (git_blob_create_from_buffer(&blob, repo_, bytes.data(), bytes.size()) != 0 ||
      git_signature_new(&by, author.c_str(), (author + "@quelvo-dnc").c_str(), static_cast<git_time_t>(when), 0) != 0 ||
      git_signature_new(&committer, "quelvo-dnc", "quelvo-dnc@localhost", static_cast<git_time_t>(when), 0) != 0) {
    *error = GitError(file.c_str());
    return false;
  }
  // The new tree is the head's with this one file replaced, whatever the
  // index holds. HEAD only moves from the parent looked up: when the push's
  // merge moved it in between, the commit is made again on the new head.
  git_oid id;
  for (int attempt = 0;; ++attempt) {
    git_oid parentId, treeId;
    CommitObject parent;
    Tree parentTree, tree;
    git_treebuilder* builder = nullptr;
    const bool hasParent = git_reference_name_to_id(&parentId, repo_, "HEAD") == 0 &&
                           git_commit_lookup(&parent, repo_, &parentId) == 0 && git_commit_tree(&parentTree, parent) == 0;
    bool made = git_treebuilder_new(&builder, repo_, hasParent ? parentTree.p : nullptr) == 0 &&
                git_treebuilder_insert(nullptr, builder, file.c_str(), &blob, GIT_FILEMODE_BLOB) == 0 &&
                git_treebuilder_write(&treeId, builder) == 0 && git_tree_lookup(&tree, repo_, &treeId) == 0;
    if (builder) git_treebuilder_free(builder);
    const git_commit* parents[1] = {parent};
    made = made && git_commit_create(&id, repo_, "HEAD", by, committer, "UTF-8", message.c_str(), tree,
                                     hasParent ? 1 : 0, parents) == 0;
    if (made) break;
    if (attempt == 4) {
      *error = GitError("commit");
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  // The index follows, so that git status shows nothing to commit; a locked
  // index only leaves the file shown as changed until the next commit.
  Index index;
  if (git_repository_index(&index, repo_) == 0 && git_index_read(index, 1) == 0 &&
      git_index_add_bypath(index, file.c_str()) == 0)
    git_index_write(index);
  if (commitId) *commitId = Oid(id);
  return true;
}

bool ProgramHistory::RecordReceived(const std::string& program, const std::string& machine, const std::string& bytes,
                                    const std::string& kind, std::time_t when, std::string* commit,
                                    std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::ostringstream message;
  message << program << " received from " << machine << "\n\nProgram: " << program << "\nMachine: " << machine
          << "\nTime: " << ShortDateTimeText(when) << "\nBytes: " << bytes.size() << "\nKind: " << kind
          << "\nDirection: received\n";
  return Commit(program, bytes, machine, message.str(), when, commit, error);
}

bool ProgramHistory::RecordSent(const std::string& program, const std::string& machine, const std::string& bytes,
                                const std::string& kind, std::time_t when, std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string file = FileOf(program);
  if (!HeadHolds(file, bytes)) {
    std::ostringstream message;
    message << program << " sent to " << machine << "\n\nProgram: " << program << "\nMachine: " << machine
            << "\nTime: " << ShortDateTimeText(when) << "\nBytes: " << bytes.size() << "\nKind: " << kind
            << "\nDirection: sent\n";
    if (!Commit(program, bytes, machine, message.str(), when, nullptr, error)) return false;
  }
  git_oid head;
  git_reference* ref = nullptr;
  if (git_reference_name_to_id(&head, repo_, "HEAD") != 0 ||
      git_reference_create(&ref, repo_, MachineRef(machine, program).c_str(), &head, 1, "sent") != 0) {
    *error = GitError("tag");
    return false;
  }
  git_reference_free(ref);
  // The note of the revision gains a line per send.
  std::string text;
  {
    Note old;
    if (git_note_read(&old, repo_, nullptr, &head) == 0) text = git_note_message(old);
  }
  if (!text.empty() && text.back() != '\n') text += '\n';
  text += "sent to " + machine + " at " + ShortDateTimeText(when) + " (" + kind + ", " + program + ", " +
          std::to_string(bytes.size()) + " bytes)\n";
  Signature by;
  git_oid noteId;
  if (git_signature_new(&by, "quelvo-dnc", "quelvo-dnc@localhost", static_cast<git_time_t>(when), 0) != 0 ||
      git_note_create(&noteId, repo_, nullptr, by, by, &head, text.c_str(), 1) != 0) {
    *error = GitError("note");
    return false;
  }
  return true;
}

bool ProgramHistory::LastSent(const std::string& program, const std::string& machine, std::string* bytes,
                              std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  error->clear();
  git_oid id;
  if (git_reference_name_to_id(&id, repo_, MachineRef(machine, program).c_str()) != 0) return false;
  CommitObject commit;
  if (git_commit_lookup(&commit, repo_, &id) != 0 || !FileInCommit(repo_, commit, FileOf(program), bytes)) {
    *error = GitError(("sent/" + machine + "/" + program).c_str());
    return false;
  }
  return true;
}

bool ProgramHistory::History(const std::string& program, std::vector<ProgramRevision>* revisions,
                             std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  revisions->clear();
  const std::string file = FileOf(program);
  RevWalk walk;
  if (git_revwalk_new(&walk, repo_) != 0) {
    *error = GitError("history");
    return false;
  }
  git_revwalk_sorting(walk, GIT_SORT_TIME | GIT_SORT_REVERSE);
  if (git_revwalk_push_head(walk) != 0) return true;  // no commit yet: no history
  git_oid id;
  while (git_revwalk_next(&id, walk) == 0) {
    CommitObject commit;
    if (git_commit_lookup(&commit, repo_, &id) != 0) continue;
    git_oid blob, parentBlob;
    if (!FileId(commit, file, &blob)) continue;
    bool changed = true;
    if (git_commit_parentcount(commit) > 0) {
      CommitObject parent;
      if (git_commit_parent(&parent, commit, 0) == 0 && FileId(parent, file, &parentBlob))
        changed = !git_oid_equal(&blob, &parentBlob);
    }
    const std::string message = git_commit_message(commit);
    if (changed) {
      ProgramRevision r;
      r.commit = Oid(id);
      r.time = static_cast<std::time_t>(git_commit_author(commit)->when.time);
      r.machine = Field(message, "Machine");
      if (r.machine.empty()) r.machine = git_commit_author(commit)->name;
      r.sent = Field(message, "Direction") == "sent";
      r.kind = Field(message, "Kind");
      r.bytes = static_cast<std::size_t>(std::strtoul(Field(message, "Bytes").c_str(), nullptr, 10));
      // A send's own commit is listed by its note line below; a user's own commit is listed too.
      if (!r.sent) revisions->push_back(r);
    }
    // Sends are the lines of the note ("sent to mc01 at TIME (KIND, PROGRAM, N bytes)").
    Note note;
    if (git_note_read(&note, repo_, nullptr, &id) != 0) continue;
    std::istringstream lines(git_note_message(note));
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("sent to ", 0) != 0 || line.find(", " + program + ", ") == std::string::npos) continue;
      ProgramRevision r;
      r.commit = Oid(id);
      r.sent = true;
      const std::size_t at = line.find(" at "), open = line.find(" (");
      if (at == std::string::npos || open == std::string::npos) continue;
      r.machine = line.substr(8, at - 8);
      const std::string time = line.substr(at + 4, open - at - 4);
      std::tm tm{};
      if (std::sscanf(time.c_str(), "%d/%d/%d %d:%d:%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                      &tm.tm_min, &tm.tm_sec) == 6) {
        tm.tm_year -= 1900;
        tm.tm_mon -= 1;
        tm.tm_isdst = -1;
        r.time = std::mktime(&tm);
      }
      r.kind = line.substr(open + 2, line.find(',', open) - open - 2);
      const std::size_t bytesAt = line.rfind(", ");
      r.bytes = static_cast<std::size_t>(std::strtoul(line.c_str() + bytesAt + 2, nullptr, 10));
      revisions->push_back(r);
    }
  }
  std::stable_sort(revisions->begin(), revisions->end(),
                   [](const ProgramRevision& a, const ProgramRevision& b) { return a.time < b.time; });
  return true;
}

bool ProgramHistory::LastReceived(const std::string& program, std::string* bytes, ProgramRevision* revision,
                                  std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  error->clear();
  RevWalk walk;
  if (git_revwalk_new(&walk, repo_) != 0) {
    *error = GitError("history");
    return false;
  }
  git_revwalk_sorting(walk, GIT_SORT_TIME);
  if (git_revwalk_push_head(walk) != 0) return false;  // no commit yet
  git_oid id;
  while (git_revwalk_next(&id, walk) == 0) {
    CommitObject commit;
    if (git_commit_lookup(&commit, repo_, &id) != 0) continue;
    const std::string message = git_commit_message(commit);
    if (Field(message, "Direction") != "received" || Field(message, "Program") != program) continue;
    if (!FileInCommit(repo_, commit, FileOf(program), bytes)) continue;
    revision->commit = Oid(id);
    revision->time = static_cast<std::time_t>(git_commit_author(commit)->when.time);
    revision->machine = Field(message, "Machine");
    revision->sent = false;
    revision->kind = Field(message, "Kind");
    revision->bytes = bytes->size();
    return true;
  }
  return false;
}

bool LastReceivedRevision(const std::string& folder, const std::string& program, std::string* bytes,
                          ProgramRevision* revision, std::string* error) {
  ProgramHistory history;
  if (!history.OpenExisting(folder, error)) return false;
  if (history.LastReceived(program, bytes, revision, error)) return true;
  if (error->empty()) *error = "no revision of " + program + " received in " + folder;
  return false;
}

bool LastReceivedForDocument(const std::string& folder, const std::string& documentBytes,
                             const std::string& fileName, ReceivedRevisionText* out, std::string* error) {
  out->program = ProgramNameOf(documentBytes, fileName);
  if (out->program.empty()) {
    *error = "the document has no program number";
    return false;
  }
  std::string bytes;
  ProgramRevision revision;
  if (!LastReceivedRevision(folder, out->program, &bytes, &revision, error)) return false;
  out->text = DocumentTextFromBytes(bytes);
  out->name = out->program + " " + revision.machine + " から受信 " + ShortDateTimeText(revision.time) + " (" +
              revision.commit.substr(0, 12) + ")";
  return true;
}

std::string ProgramNameOf(const std::string& bytes, const std::string& fileName) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string name = ProgramNumberFileName(line);
    if (!name.empty()) return name.substr(0, name.rfind('.'));
    pos = end + 1;
  }
  const std::size_t slash = fileName.rfind('/');
  std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base.erase(dot);
  return base;
}

}  // namespace quelvo
