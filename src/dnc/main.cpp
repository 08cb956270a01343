// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-dnc: the shop service. Serves every machine of its configuration
// file (/etc/quelvo/dnc.conf, or --config FILE) until SIGTERM, SIGINT or SIGHUP;
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
#include "core/dnc/OpenFileLimit.h"
#include "core/document/DocumentTitle.h"
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
  // A hang-up (the service started from a terminal or an ssh session that
  // went away) ends the service as SIGTERM does: transfers stop through
  // their stop path, logs are written and every line is released.
  sigaction(SIGHUP, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

const char kUsage[] =
    "使い方: quelvo-dnc [--config FILE] [--check]\n\n"
    "工場の各機械の NC 機と、そのフォルダとの間で NC プログラムを送受信するサービスです。\n"
    "SIGTERM か SIGINT まで動き、記録は標準エラー出力 (systemd のジャーナル) に書きます。\n\n"
    "  --config FILE  設定ファイル (既定 /etc/quelvo/dnc.conf)\n"
    "  --check        設定ファイルを読んで誤りを表示し、終了します\n"
    "  --version      版を表示して終了します\n\n"
    "終了ステータス: 0 正常終了, 1 機械を動かせなかった, 2 使い方または設定の誤り\n";

}  // namespace

int main(int argc, char** argv) {
  std::string configPath = quelvo::kDefaultDncConfigPath;
  bool checkOnly = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--config") == 0 && i + 1 < argc) {
      configPath = argv[++i];
    } else if (std::strcmp(argv[i], "--check") == 0) {
      checkOnly = true;
    } else if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "quelvo-dnc" << quelvo::kVersionSuffix << "\n";
      return 0;
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << kUsage;
      return 0;
    } else {
      std::cerr << "quelvo-dnc: 不明な引数 " << argv[i] << "\n" << kUsage;
      return 2;
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
    std::cout << configPath << ": 機械 " << config.machines.size() << " 台\n";
    return 0;
  }
  InstallSignals();
  std::mutex journalMutex;
  const auto journal = [&journalMutex](const std::string& line) {
    const std::lock_guard<std::mutex> lock(journalMutex);
    std::cerr << line << std::endl;
  };
  // Every machine's line stays open: a shop of some hundred machines needs
  // more open files than the usual soft limit allows.
  for (const std::string& note : quelvo::OpenFileLimitNotes(quelvo::RaiseOpenFileLimit(), config.machines.size()))
    journal(note);
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
