// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashboard's HTTP server inside quelvo-dnc ([http] listen = ADDR:PORT).
// It runs on the server library's own threads (one per connection, at most
// max_clients of them, each closed after timeout_seconds without progress),
// reads the state the workers publish and writes only into spools, so a slow
// or hostile browser never holds a machine. Every change needs the token of
// [http] token_file in a header; reads need it too unless public_read = yes.
#include <functional>
#include <memory>
#include <string>

#include "core/dnc/DncConfig.h"

namespace quelvo::http {

class HttpServer {
 public:
  using Journal = std::function<void(const std::string&)>;
  HttpServer(const DncConfig& config, Journal journal);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Reads the token and certificate files and starts listening; false (with
  // the reason journalled) when that fails.
  bool Start();
  void Stop();
  // Every journal line of the service: the page shows each machine's last
  // transfer and today's counts from them.
  void NoteJournal(const std::string& line);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The folder the package installs the page's files into.
std::string DefaultWebFolder();

}  // namespace quelvo::http
