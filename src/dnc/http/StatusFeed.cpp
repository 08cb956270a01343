#include "dnc/http/StatusFeed.h"

#include <chrono>

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

std::string StatusFeed::SnapshotLocked() const {
  return SseEvent("service", "{\"started\": " + std::to_string(static_cast<long long>(startedAt_)) +
                                 ", \"machines\": " + std::to_string(machineJson_.size()) + "}") +
         SseEvent("machines", JoinArray(machineJson_)) + SseEvent("queues", JoinArray(queueJson_));
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
  std::string text;
  for (const Event& e : events_) {
    if (e.seq >= *cursor) text += e.text;
  }
  *cursor = seq_ + 1;
  return text;
}

}  // namespace quelvo::http
