// quelvo-dnc: the shop service. Serves every machine of its configuration
// file (/etc/quelvo/dnc.conf, or --config FILE) until SIGTERM or SIGINT;
// journal lines go to stderr, which systemd keeps in the journal.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>

#include "core/dnc/DncConfig.h"
#include "core/dnc/DncService.h"
#include "core/dnc/DncSharing.h"
#include "dnc/http/HttpServer.h"

namespace {

std::atomic<bool> g_shutdown{false};

void OnStop(int) { g_shutdown.store(true); }

void InstallSignals() {
  struct sigaction sa {};
  sa.sa_handler = OnStop;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);
  signal(SIGHUP, SIG_IGN);
}

const char kUsage[] =
    "usage: quelvo-dnc [--config FILE] [--check]\n"
    "  --config FILE  the configuration (default /etc/quelvo/dnc.conf)\n"
    "  --check        read the configuration, report what is wrong, and exit\n";

}  // namespace

int main(int argc, char** argv) {
  std::string configPath = quelvo::kDefaultDncConfigPath;
  bool checkOnly = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--config") == 0 && i + 1 < argc) {
      configPath = argv[++i];
    } else if (std::strcmp(argv[i], "--check") == 0) {
      checkOnly = true;
    } else {
      std::cerr << kUsage;
      return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
    }
  }
  quelvo::DncConfig config;
  std::string error;
  if (!quelvo::LoadDncConfig(configPath, &config, &error)) {
    std::cerr << "quelvo-dnc: " << error << "\n";
    return 2;
  }
  // Machines that cannot share what they share are refused at the check and the start alike.
  const quelvo::DncSharing sharing = quelvo::CheckSharing(config);
  for (const std::string& line : sharing.errors) std::cerr << "quelvo-dnc: " << configPath << ": " << line << "\n";
  if (!sharing.errors.empty()) return 2;
  std::ostream& notes = checkOnly ? std::cout : std::cerr;
  for (const std::string& line : sharing.notes) notes << configPath << ": " << line << std::endl;
  if (checkOnly) {
    std::cout << configPath << ": " << config.machines.size() << " machines\n";
    return 0;
  }
  InstallSignals();
  std::mutex journalMutex;
  const auto journal = [&journalMutex](const std::string& line) {
    const std::lock_guard<std::mutex> lock(journalMutex);
    std::cerr << line << std::endl;
  };
  // The dashboard runs beside the workers on its own threads; the service
  // does not start when it is configured but cannot listen.
  std::unique_ptr<quelvo::http::HttpServer> dashboard;
  if (!config.http.listen.empty()) {
    dashboard = std::make_unique<quelvo::http::HttpServer>(config, journal);
    if (!dashboard->Start()) return 1;
  }
  quelvo::http::HttpServer* const shown = dashboard.get();
  const bool ran = quelvo::RunDncService(config, g_shutdown, [&journal, shown](const std::string& line) {
    journal(line);
    if (shown != nullptr) shown->NoteJournal(line);
  });
  if (dashboard) dashboard->Stop();
  return ran ? 0 : 1;
}
