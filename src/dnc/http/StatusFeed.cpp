// SPDX-License-Identifier: GPL-3.0-or-later
#include "dnc/http/StatusFeed.h"

#include <chrono>
#include <cstdlib>

#include "core/common/JsonText.h"
#include "core/dnc/DncCommands.h"
#include "core/dnc/DncSpool.h"
#include "core/dnc/WorkerStatus.h"

namespace quelvo::http {
namespace {

// One machine's object of StatusJson's array, on one line.
std::string MachineObject(const WorkerStatus& status) {
  std::string text = StatusJson({status});
  const size_t open = text.find('{');
  const size_t close = text.rfind('}');
  return text.substr(open, close - open + 1);
}

std::string QueueObject(const MachineConfig& machine) {
  std::string out = "{\"machine\": " + JsonString(machine.name) + ", \"files\": [";
  const std::vector<std::string> files = SpooledFiles(machine.spool);
  for (size_t i = 0; i < files.size(); ++i) out += (i ? ", " : "") + JsonString(files[i]);
  return out + "]}";
}

std::string JoinArray(const std::vector<std::string>& objects) {
  std::string out = "[";
  for (size_t i = 0; i < objects.size(); ++i) out += (i ? ", " : "") + objects[i];
  return out + "]";
}

}  // namespace

std::string SseEvent(const std::string& name, const std::string& data) {
  std::string line = data;
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';  // JSON keeps its own newlines escaped
  }
  return "event: " + name + "\ndata: " + line + "\n\n";
}

StatusFeed::StatusFeed(const DncConfig& config, int pollMs, size_t keptEvents)
    : config_(config), pollMs_(pollMs), keptEvents_(keptEvents) {
  startedAt_ = std::time(nullptr);
  last_.resize(config.machines.size());
  for (size_t i = 0; i < config.machines.size(); ++i) machineIndex_[config.machines[i].name] = i;
  Poll();
}

StatusFeed::~StatusFeed() { Stop(); }

void StatusFeed::Start() { thread_ = std::thread([this] { Loop(); }); }

void StatusFeed::Stop() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void StatusFeed::Loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    changed_.wait_for(lock, std::chrono::milliseconds(pollMs_));
    if (stopping_) break;
    lock.unlock();
    Poll();
    lock.lock();
  }
}

void StatusFeed::Refresh() { Poll(); }

void StatusFeed::Poll() {
  // The files are read without the lock: streams keep reading meanwhile.
  std::vector<std::string> machines, queues;
  for (const WorkerStatus& status : ReadServiceStatus(config_)) machines.push_back(MachineObject(status));
  for (const MachineConfig& machine : config_.machines) queues.push_back(QueueObject(machine));
  std::vector<std::string> changedMachines, changedQueues;
  const std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < machines.size(); ++i) {
    if (i >= machineJson_.size() || machineJson_[i] != machines[i]) changedMachines.push_back(machines[i]);
    if (i >= queueJson_.size() || queueJson_[i] != queues[i]) changedQueues.push_back(queues[i]);
  }
  machineJson_ = std::move(machines);
  queueJson_ = std::move(queues);
  std::string text;
  if (!changedMachines.empty()) text += SseEvent("machines", JoinArray(changedMachines));
  if (!changedQueues.empty()) text += SseEvent("queues", JoinArray(changedQueues));
  if (text.empty()) return;
  events_.push_back({++seq_, std::move(text)});
  while (events_.size() > keptEvents_) events_.pop_front();
  changed_.notify_all();
}

std::string StatusFeed::ServiceJsonLocked() const {
  return "{\"started\": " + std::to_string(static_cast<long long>(startedAt_)) +
         ", \"now\": " + std::to_string(static_cast<long long>(std::time(nullptr))) +
         ", \"machines\": " + std::to_string(machineJson_.size()) +
         ", \"transfers_today\": " + std::to_string(transfersToday_) +
         ", \"errors_today\": " + std::to_string(errorsToday_) + "}";
}

std::string StatusFeed::LastJsonLocked(size_t i) const {
  const LastTransfer& t = last_[i];
  return "{\"machine\": " + JsonString(config_.machines[i].name) + ", \"text\": " + JsonString(t.text) +
         ", \"at\": " + std::to_string(static_cast<long long>(t.at)) + ", \"ok\": " + (t.ok ? "true" : "false") +
         ", \"error\": " + std::to_string(t.error) + "}";
}

std::string StatusFeed::SnapshotLocked() const {
  std::vector<std::string> last;
  for (size_t i = 0; i < last_.size(); ++i) {
    if (last_[i].at != 0) last.push_back(LastJsonLocked(i));
  }
  return SseEvent("service", ServiceJsonLocked()) + SseEvent("machines", JoinArray(machineJson_)) +
         SseEvent("queues", JoinArray(queueJson_)) + SseEvent("transfers", JoinArray(last));
}

void StatusFeed::NoteJournal(const std::string& line) {
  const size_t colon = line.find(": ");
  if (colon == std::string::npos) return;
  const std::string name = line.substr(0, colon);
  const std::string text = line.substr(colon + 2);
  const auto starts = [&text](const char* head) { return text.rfind(head, 0) == 0; };
  const bool ok = starts("received ") || starts("sent ");
  const bool failed = starts("send of ") || starts("incomplete reception ");
  if (!ok && !failed) return;
  const auto found = machineIndex_.find(name);
  if (found == machineIndex_.end()) return;
  const size_t machine = found->second;
  LastTransfer t;
  t.text = text;
  t.at = std::time(nullptr);
  t.ok = ok;
  const size_t error = text.find("(error ");
  if (error != std::string::npos) t.error = std::atoi(text.c_str() + error + 7);
  std::tm local{};
  localtime_r(&t.at, &local);
  const int day = (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
  const std::lock_guard<std::mutex> lock(mutex_);
  if (day != today_) {
    today_ = day;
    transfersToday_ = errorsToday_ = 0;
  }
  ++transfersToday_;
  if (failed) ++errorsToday_;
  last_[machine] = t;
  events_.push_back({++seq_, SseEvent("transfers", "[" + LastJsonLocked(machine) + "]") +
                                 SseEvent("service", ServiceJsonLocked())});
  while (events_.size() > keptEvents_) events_.pop_front();
  changed_.notify_all();
}

std::string StatusFeed::MachinesJson() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::string out = "[";
  for (size_t i = 0; i < machineJson_.size(); ++i) out += (i ? ",\n  " : "\n  ") + machineJson_[i];
  return out + (machineJson_.empty() ? "]\n" : "\n]\n");
}

std::string StatusFeed::QueueJson(const std::string& machine) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < config_.machines.size(); ++i) {
    if (config_.machines[i].name == machine && i < queueJson_.size()) return queueJson_[i] + "\n";
  }
  return "";
}

std::string StatusFeed::NextFor(uint64_t* cursor, int waitMs, bool* stopped) {
  std::unique_lock<std::mutex> lock(mutex_);
  *stopped = false;
  // *cursor is one past the last event the stream has had; 0 for a new stream.
  const bool behind = *cursor == 0 || (!events_.empty() && events_.front().seq > *cursor);
  if (behind) {
    *cursor = seq_ + 1;
    return SnapshotLocked();
  }
  changed_.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return stopping_ || seq_ >= *cursor; });
  if (stopping_) {
    *stopped = true;
    return "";
  }
  // The list holds consecutive numbers: the stream's place is found at once,
  // however many events are kept.
  std::string text;
  const size_t from = events_.empty() ? 0 : static_cast<size_t>(*cursor - events_.front().seq);
  for (size_t i = from; i < events_.size(); ++i) text += events_[i].text;
  *cursor = seq_ + 1;
  return text;
}

}  // namespace quelvo::http
