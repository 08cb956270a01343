// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pushes the service's library to a shared repository (library_remote: a
// bare repository in a folder, or an ssh address with the key of ssh-agent)
// on a thread of its own, so that no transfer ever waits for the network.
// Request() after each commit; the thread pushes the branch, the sent/ tags
// (moved by force: they say where each machine stands) and the notes. When
// another service pushed first, the remote's branch and notes are fetched and
// merged (a program both changed keeps this service's text; both revisions
// stay in the history; notes of one revision are joined) and the push tried
// again. A push that fails is tried again every retry_seconds until it goes.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace quelvo {

class LibraryPush {
 public:
  using Journal = std::function<void(const std::string&)>;

  LibraryPush(std::string folder, std::string remote, int retrySeconds, Journal journal);
  ~LibraryPush();  // stops the thread; a push under way is finished first
  LibraryPush(const LibraryPush&) = delete;
  LibraryPush& operator=(const LibraryPush&) = delete;

  void Request();

  // One push with the merge described above, on the caller's thread; false
  // with the reason.
  static bool PushOnce(const std::string& folder, const std::string& remote, std::string* error);

 private:
  void Run();

  const std::string folder_, remote_;
  const int retrySeconds_;
  Journal journal_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool wanted_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace quelvo
