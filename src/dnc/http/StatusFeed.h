// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashboard's live data: a thread that reads what the workers publish
// (the same state `quelvo-cli status --json` shows) and each machine's queue
// twice a second, and turns every change into a server-sent event: the
// changes of all machines found in one poll make one event, built once for
// every stream. Events go into one bounded list that every stream reads at
// its own pace: a slow or stuck browser never holds the feed, and one that
// fell too far behind gets a whole snapshot instead of the events it missed. The transfers never wait
// on any of it: the feed only reads files.
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/dnc/DncConfig.h"

namespace quelvo::http {

class StatusFeed {
 public:
  // `keptEvents`: how many changes a stream may be behind before it is
  // given a whole snapshot instead.
  explicit StatusFeed(const DncConfig& config, int pollMs = 500, size_t keptEvents = 4096);
  ~StatusFeed();
  StatusFeed(const StatusFeed&) = delete;
  StatusFeed& operator=(const StatusFeed&) = delete;

  void Start();
  // Ends the thread and wakes every waiting stream (it then ends).
  void Stop();

  // Every machine's state as `status --json` writes it.
  std::string MachinesJson() const;
  // {"machine": NAME, "files": [...]} for one machine.
  std::string QueueJson(const std::string& machine) const;
  // Reads the files again now (after a change made through the dashboard).
  void Refresh();

  // A journal line of the service: the end of a transfer ("NAME: received
  // ...", "NAME: sent ...", "NAME: send of ... did not complete (error N)",
  // "NAME: incomplete reception ...") becomes the machine's last transfer and
  // counts for today. Called on the workers' threads: it only takes the lock
  // for a moment.
  void NoteJournal(const std::string& line);

  // The text a stream sends next: the events since *cursor (or a whole
  // snapshot when *cursor is 0 or older than the list holds), waiting up to
  // `waitMs` for one; "" when nothing came (the stream then sends a
  // keep-alive comment) or the feed has stopped (then *stopped).
  std::string NextFor(uint64_t* cursor, int waitMs, bool* stopped);

 private:
  struct Event {
    uint64_t seq;
    std::string text;
  };
  struct LastTransfer {
    std::string text;  // the journal line without the machine's name
    std::time_t at = 0;
    bool ok = true;
    int error = 0;  // the transfer's error number; 0 none
  };
  void Loop();
  std::string LastJsonLocked(size_t machine) const;
  std::string ServiceJsonLocked() const;
  void Poll();
  std::string SnapshotLocked() const;

  const DncConfig& config_;
  const int pollMs_;
  const size_t keptEvents_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  std::thread thread_;
  std::vector<std::string> machineJson_;  // one object per machine, in configuration order
  std::vector<std::string> queueJson_;
  std::deque<Event> events_;
  uint64_t seq_ = 0;
  std::time_t startedAt_ = 0;
  std::vector<LastTransfer> last_;  // per machine, in configuration order
  std::map<std::string, size_t> machineIndex_;  // name -> configuration order
  int today_ = 0;                   // the local day the counts are of (yyyymmdd)
  long transfersToday_ = 0;
  long errorsToday_ = 0;
};

// One server-sent event: "event: NAME\ndata: ...\n\n" (the data on one line).
std::string SseEvent(const std::string& name, const std::string& data);

}  // namespace quelvo::http
