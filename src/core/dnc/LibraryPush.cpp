// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/LibraryPush.h"

#include <git2.h>

#include <chrono>
#include <vector>

namespace quelvo {

namespace {

std::string GitError(const std::string& what) {
  const git_error* e = git_error_last();
  return what + ": " + (e && e->message ? e->message : "unknown git error");
}

int Credentials(git_credential** out, const char*, const char* user, unsigned int allowed, void*) {
  if (allowed & GIT_CREDENTIAL_SSH_KEY) return git_credential_ssh_key_from_agent(out, user ? user : "git");
  return GIT_PASSTHROUGH;
}

// A reference the remote refused, by name; empty when all went.
int NoteRefused(const char* refname, const char* status, void* data) {
  if (status) *static_cast<std::string*>(data) = std::string(refname) + " (" + status + ")";
  return 0;
}

struct Repo {
  git_repository* p = nullptr;
  ~Repo() {
    if (p) git_repository_free(p);
  }
};
struct Remote {
  git_remote* p = nullptr;
  ~Remote() {
    if (p) git_remote_free(p);
  }
};
struct Commit {
  git_commit* p = nullptr;
  ~Commit() {
    if (p) git_commit_free(p);
  }
};

bool Push(git_remote* remote, const std::vector<std::string>& refspecs, std::string* refused, std::string* error) {
  std::vector<char*> strings;
  for (const std::string& s : refspecs) strings.push_back(const_cast<char*>(s.c_str()));
  const git_strarray array{strings.data(), strings.size()};
  git_push_options options;
  git_push_options_init(&options, GIT_PUSH_OPTIONS_VERSION);
  options.callbacks.credentials = Credentials;
  options.callbacks.push_update_reference = NoteRefused;
  options.callbacks.payload = refused;
  refused->clear();
  if (git_remote_push(remote, &array, &options) != 0) {
    *error = GitError("push");
    return false;
  }
  if (!refused->empty()) {
    *error = "push refused: " + *refused;
    return false;
  }
  return true;
}

// Merges commit `theirs` into the reference `ours` (a branch, or the notes):
// nothing when ours holds it already, a fast-forward when ours is behind, else
// a merge commit with `favor` deciding a file both changed.
bool MergeInto(git_repository* repo, const std::string& ours, const git_oid& theirs, git_merge_file_favor_t favor,
               bool checkout, std::string* error) {
  git_oid oursId;
  if (git_reference_name_to_id(&oursId, repo, ours.c_str()) != 0) {
    git_reference* ref = nullptr;
    if (git_reference_create(&ref, repo, ours.c_str(), &theirs, 0, "library from the remote") != 0) {
      *error = GitError(ours);
      return false;
    }
    git_reference_free(ref);
    return true;
  }
  if (git_oid_equal(&oursId, &theirs) || git_graph_descendant_of(repo, &oursId, &theirs) == 1) return true;
  git_oid result;
  if (git_graph_descendant_of(repo, &theirs, &oursId) == 1) {
    result = theirs;
  } else {
    Commit a, b;
    git_index* index = nullptr;
    git_merge_options options;
    git_merge_options_init(&options, GIT_MERGE_OPTIONS_VERSION);
    options.file_favor = favor;
    git_oid tree;
    git_tree* treeObject = nullptr;
    git_signature* by = nullptr;
    bool ok = git_commit_lookup(&a.p, repo, &oursId) == 0 && git_commit_lookup(&b.p, repo, &theirs) == 0 &&
              git_merge_commits(&index, repo, a.p, b.p, &options) == 0 &&
              git_index_write_tree_to(&tree, index, repo) == 0 && git_tree_lookup(&treeObject, repo, &tree) == 0 &&
              git_signature_now(&by, "quelvo-dnc", "quelvo-dnc@localhost") == 0;
    if (ok) {
      const git_commit* parents[2] = {a.p, b.p};
      ok = git_commit_create(&result, repo, nullptr, by, by, "UTF-8", "Library merged with the shared library\n",
                             treeObject, 2, parents) == 0;
    }
    if (!ok) *error = GitError("merge " + ours);
    if (index) git_index_free(index);
    if (treeObject) git_tree_free(treeObject);
    if (by) git_signature_free(by);
    if (!ok) return false;
  }
  git_reference* ref = nullptr;
  // Moves only from where it was: a commit made meanwhile makes this fail, and the push is tried again later.
  if (git_reference_create_matching(&ref, repo, ours.c_str(), &result, 1, &oursId, "library merged") != 0) {
    *error = GitError(ours);
    return false;
  }
  git_reference_free(ref);
  if (checkout) {
    git_checkout_options options;
    git_checkout_options_init(&options, GIT_CHECKOUT_OPTIONS_VERSION);
    options.checkout_strategy = GIT_CHECKOUT_SAFE;
    if (git_checkout_head(repo, &options) != 0) {
      *error = GitError("checkout");
      return false;
    }
  }
  return true;
}

// What a push sends: the branch, every sent/ tag by force (libgit2 takes no
// pattern in a push), and the notes when there are any.
std::vector<std::string> PushSpecs(git_repository* repo, const std::string& branch) {
  std::vector<std::string> refspecs{branch + ":" + branch};
  git_reference_foreach_glob(
      repo, "refs/tags/sent/*",
      [](const char* name, void* data) {
        static_cast<std::vector<std::string>*>(data)->push_back(std::string("+") + name + ":" + name);
        return 0;
      },
      &refspecs);
  git_oid notes;
  if (git_reference_name_to_id(&notes, repo, "refs/notes/commits") == 0)
    refspecs.push_back("refs/notes/commits:refs/notes/commits");
  return refspecs;
}

}  // namespace

bool LibraryPush::PushOnce(const std::string& folder, const std::string& remoteAddress, std::string* error) {
  git_libgit2_init();
  struct Shutdown {
    ~Shutdown() { git_libgit2_shutdown(); }
  } shutdown;
  Repo repo;
  Remote remote;
  if (git_repository_open_ext(&repo.p, folder.c_str(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr) != 0 ||
      git_remote_create_anonymous(&remote.p, repo.p, remoteAddress.c_str()) != 0) {
    *error = GitError(remoteAddress);
    return false;
  }
  git_reference* head = nullptr;
  if (git_repository_head(&head, repo.p) != 0) return true;  // no commit yet: nothing to push
  const std::string branch = git_reference_name(head);
  git_reference_free(head);
  const std::string tracking = "refs/remotes/library/" + branch.substr(branch.rfind('/') + 1);
  std::string refused;
  if (Push(remote.p, PushSpecs(repo.p, branch), &refused, error)) return true;

  // Another service pushed first: take its branch and notes in, then push again.
  const std::string fetchBranch = "+" + branch + ":" + tracking;
  const std::string fetchNotes = "+refs/notes/commits:refs/notes/library-remote";
  char* fetchStrings[2] = {const_cast<char*>(fetchBranch.c_str()), const_cast<char*>(fetchNotes.c_str())};
  const git_strarray fetchSpecs{fetchStrings, 2};
  git_fetch_options fetch;
  git_fetch_options_init(&fetch, GIT_FETCH_OPTIONS_VERSION);
  fetch.callbacks.credentials = Credentials;
  if (git_remote_fetch(remote.p, &fetchSpecs, &fetch, "library fetched") != 0) {
    *error += "; " + GitError("fetch");
    return false;
  }
  git_oid theirs;
  if (git_reference_name_to_id(&theirs, repo.p, tracking.c_str()) == 0 &&
      !MergeInto(repo.p, branch, theirs, GIT_MERGE_FILE_FAVOR_OURS, true, error))
    return false;
  if (git_reference_name_to_id(&theirs, repo.p, "refs/notes/library-remote") == 0 &&
      !MergeInto(repo.p, "refs/notes/commits", theirs, GIT_MERGE_FILE_FAVOR_UNION, false, error))
    return false;
  return Push(remote.p, PushSpecs(repo.p, branch), &refused, error);
}

LibraryPush::LibraryPush(std::string folder, std::string remote, int retrySeconds, Journal journal)
    : folder_(std::move(folder)), remote_(std::move(remote)), retrySeconds_(retrySeconds), journal_(std::move(journal)) {
  thread_ = std::thread([this] { Run(); });
}

LibraryPush::~LibraryPush() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void LibraryPush::Request() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wanted_ = true;
  }
  wake_.notify_all();
}

void LibraryPush::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  bool failing = false;
  while (!stopping_) {
    if (!wanted_) {
      wake_.wait(lock, [this] { return wanted_ || stopping_; });
      continue;
    }
    wanted_ = false;
    lock.unlock();
    std::string error;
    const bool pushed = PushOnce(folder_, remote_, &error);
    if (pushed && failing) journal_("library: pushed to " + remote_ + " again");
    if (!pushed) journal_("library: push to " + remote_ + " failed, tried again in " + std::to_string(retrySeconds_) +
                          " s: " + error);
    failing = !pushed;
    lock.lock();
    if (!pushed) {
      wanted_ = true;
      wake_.wait_for(lock, std::chrono::seconds(retrySeconds_), [this] { return stopping_; });
    }
  }
}

}  // namespace quelvo
