// SPDX-License-Identifier: GPL-3.0-or-later
#include "Ser2netProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

namespace quelvo::test {
namespace {

// True when something listens on 127.0.0.1:port; looked up in /proc so that
// no connection makes ser2net open the device.
bool Listening(int port) {
  std::ifstream tcp("/proc/net/tcp");
  char want[16];
  std::snprintf(want, sizeof want, "0100007F:%04X", port);
  std::string line;
  while (std::getline(tcp, line)) {
    // "  sl  local_address rem_address   st ...": state 0A is LISTEN.
    if (line.find(want) != std::string::npos && line.find(" 0A ") != std::string::npos) return true;
  }
  return false;
}

}  // namespace

int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
  close(fd);
  return ntohs(a.sin_port);
}

std::string Ser2netProcess::Program() {
  for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"}) {
    if (access(path, X_OK) == 0) return path;
  }
  return std::string();
}

Ser2netProcess::Ser2netProcess(const std::string& folder, const std::string& device) {
  const std::string program = Program();
  if (program.empty()) return;
  rawPort_ = FreeLoopbackPort();
  telnetPort_ = FreeLoopbackPort();
  while (telnetPort_ == rawPort_) telnetPort_ = FreeLoopbackPort();
  const std::string config = folder + "/ser2net.yaml";
  {
    std::ofstream out(config);
    // "local": the line has no modem lines to wait for (a pseudo-terminal).
    out << "connection: &raw\n"
        << "  accepter: tcp,127.0.0.1," << rawPort_ << "\n"
        << "  connector: serialdev," << device << ",9600n81,local\n"
        << "  options:\n    kickolduser: false\n"
        << "connection: &telnet\n"
        << "  accepter: telnet(rfc2217),tcp,127.0.0.1," << telnetPort_ << "\n"
        << "  connector: serialdev," << device << ",9600n81,local\n"
        << "  options:\n    kickolduser: false\n";
  }
  const std::string pidFile = folder + "/ser2net.pid";
  const std::string logFile = folder + "/ser2net.log";
  pid_ = fork();
  if (pid_ == 0) {
    const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) {
      dup2(log, 1);
      dup2(log, 2);
    }
    execl(program.c_str(), program.c_str(), "-n", "-d", "-c", config.c_str(), "-P", pidFile.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  // A busy machine may take a while to start it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    if (Listening(rawPort_) && Listening(telnetPort_)) {
      ready_ = true;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void Ser2netProcess::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

Ser2netProcess::~Ser2netProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  for (int i = 0; i < 250; ++i) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  Kill();
}

}  // namespace quelvo::test
