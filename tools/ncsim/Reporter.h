// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string>

namespace quelvo::ncsim {

// Writes the report lines: always to stdout, and to a report file when one is
// named. Each line is flushed at once so that a watching program sees events
// as they happen.
class Reporter {
public:
    // toStdout false: the report file only (a control among many).
    explicit Reporter(bool toStdout = true) : toStdout_(toStdout) {}
    ~Reporter();
    Reporter(const Reporter&) = delete;
    Reporter& operator=(const Reporter&) = delete;

    // Opens the report file for appending. Returns false with the reason in error.
    bool OpenFile(const std::string& path, std::string& error);
    void Line(const std::string& text);

private:
    bool toStdout_ = true;
    std::FILE* file_ = nullptr;
};

}  // namespace quelvo::ncsim
