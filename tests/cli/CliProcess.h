// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A program of the build run as a child process with its own environment,
// its stdout and stderr in files, and a bounded wait for its end.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quelvo::cli::test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The quelvo-cli to run: QUELVO_CLI_PROGRAM names another build (a
// sanitizer build, an older one to compare with), else this build's.
inline std::string CliProgram() {
  const char* program = std::getenv("QUELVO_CLI_PROGRAM");
#ifdef QUELVO_CLI_PATH
  if (program == nullptr || *program == '\0') program = QUELVO_CLI_PATH;
#endif
  return program == nullptr ? "" : program;
}

class ChildProcess {
 public:
  // `env` entries are NAME=VALUE; stdout and stderr go to `outputBase`.out/.err,
  // or to `outFd` / `errFd` where those are given (a pipe's write end).
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::pair<std::string, std::string>>& env, const std::string& outputBase,
               int outFd = -1, int errFd = -1) {
    pid_ = fork();
    if (pid_ == 0) {
      for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
      // The test runner may ignore SIGPIPE; the program must meet it as a shell would give it.
      signal(SIGPIPE, SIG_DFL);
      const int out = outFd >= 0 ? outFd : open((outputBase + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err = errFd >= 0 ? errFd : open((outputBase + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(out, 1);
      dup2(err, 2);
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
  }
  ~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void Signal(int signal) { kill(pid_, signal); }
  pid_t Pid() const { return pid_; }

  // The exit status, or -1 when it still runs after timeoutMs; `usage` (when
  // given) gets the processor time the program used.
  int WaitExit(int timeoutMs, rusage* usage = nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (wait4(pid_, &status, WNOHANG, usage) == pid_) {
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
};

}  // namespace quelvo::cli::test
