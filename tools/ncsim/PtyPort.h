// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace quelvo::ncsim {

// The machine's end of the line: the master side of a pseudo-terminal whose
// slave is published under a symlink. The slave is never held open here, so
// the master reports a hang-up exactly while nobody has the port open.
class PtyPort {
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // Opens a new pair in raw mode and points linkPath at its slave, replacing
    // an earlier symlink there (never a regular file). False with a reason on failure.
    bool Create(const std::string& linkPath, std::string& error);
    // Closes the master: whoever holds the slave sees the line vanish.
    void Hangup();
    // Removes the symlink when it still points at this slave.
    void Unpublish();
    // Gives up the symlink without touching it: another pair has taken it over
    // (possibly under the same device name, once this one is closed).
    void LeaveLink() { linkPath_.clear(); }

    int Fd() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }

    // Bytes waiting to be read from the other side.
    long Pending() const;
    // Non-blocking read; returns the count, 0 when nothing is there, -1 on an error.
    ssize_t Read(std::uint8_t* buffer, std::size_t size);
    // Non-blocking write; returns the count written (0 when the line is full).
    ssize_t Write(const std::uint8_t* data, std::size_t size);

private:
    bool SetRaw();

    int master_ = -1;
    std::string slavePath_;
    std::string linkPath_;
};

}  // namespace quelvo::ncsim
