// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace quelvo::ncsim::test {

// Runs the ncsim program with the given arguments and reads its report lines.
class NcsimProcess {
public:
    explicit NcsimProcess(const std::vector<std::string>& args);
    ~NcsimProcess();
    NcsimProcess(const NcsimProcess&) = delete;
    NcsimProcess& operator=(const NcsimProcess&) = delete;

    // Waits for the next report line (after the last one matched) that starts
    // with prefix; returns it, or an empty text on time-out.
    std::string WaitFor(const std::string& prefix, int timeoutMs);
    // Every report line read so far.
    const std::vector<std::string>& Lines() const { return lines_; }
    // Report lines read so far that start with prefix.
    std::vector<std::string> LinesStartingWith(const std::string& prefix) const;
    // Waits for the program to exit; its exit code, or -1 on time-out.
    int WaitExit(int timeoutMs);

private:
    bool ReadMore(int timeoutMs);

    pid_t pid_ = -1;
    int out_ = -1;
    std::string partial_;
    std::vector<std::string> lines_;
    std::size_t cursor_ = 0;
    int exitCode_ = -1;
};

// The value of KEY in a report line "word KEY=VALUE ...", or -1 when absent.
long ReportValue(const std::string& line, const std::string& key);

}  // namespace quelvo::ncsim::test
