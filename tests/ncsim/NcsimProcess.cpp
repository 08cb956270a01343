// SPDX-License-Identifier: GPL-3.0-or-later
#include "NcsimProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quelvo::ncsim::test {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

NcsimProcess::NcsimProcess(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(NCSIM_PATH));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(NCSIM_PATH, argv.data());
        _exit(127);
    }
    close(fds[1]);
    out_ = fds[0];
}

NcsimProcess::~NcsimProcess() {
    if (pid_ > 0 && exitCode_ < 0) {
        kill(pid_, SIGTERM);
        if (WaitExit(2000) < 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    if (out_ >= 0) close(out_);
}

bool NcsimProcess::ReadMore(int timeoutMs) {
    pollfd p{out_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return false;
    char buffer[1024];
    const ssize_t n = read(out_, buffer, sizeof buffer);
    if (n <= 0) return false;
    partial_.append(buffer, static_cast<std::size_t>(n));
    std::size_t end;
    while ((end = partial_.find('\n')) != std::string::npos) {
        lines_.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
    return true;
}

std::string NcsimProcess::WaitFor(const std::string& prefix, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        for (; cursor_ < lines_.size(); ++cursor_) {
            if (lines_[cursor_].rfind(prefix, 0) == 0) return lines_[cursor_++];
        }
        const int left = MsLeft(deadline);
        if (left == 0 || out_ < 0) return {};
        ReadMore(left);
    }
}

std::vector<std::string> NcsimProcess::LinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : lines_) {
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    }
    return found;
}

int NcsimProcess::WaitExit(int timeoutMs) {
    if (exitCode_ >= 0) return exitCode_;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            while (ReadMore(0)) {
            }
            return exitCode_;
        }
        if (MsLeft(deadline) == 0) return -1;
        ReadMore(10);
    }
}

long ReportValue(const std::string& line, const std::string& key) {
    const std::string marker = " " + key + "=";
    const std::size_t at = line.find(marker);
    if (at == std::string::npos) return -1;
    return std::strtol(line.c_str() + at + marker.size(), nullptr, 10);
}

}  // namespace quelvo::ncsim::test
