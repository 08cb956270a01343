// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelvo::ncsim::test {

// The PC's end of the simulated line, driven with plain POSIX calls.
class PtyClient {
public:
    PtyClient() = default;
    ~PtyClient() { Close(); }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool Open(const std::string& path);
    void Close();
    // One byte, -1 on time-out, -2 when the line failed (errno in LastError()).
    int ReadByte(int timeoutMs);
    // Reads `count` bytes (DC1 invitations left out when skipInvites), fewer when
    // none comes for timeoutMs or the line fails.
    std::vector<std::uint8_t> ReadCount(std::size_t count, int timeoutMs, bool skipInvites);
    bool Write(const std::vector<std::uint8_t>& bytes);
    bool WriteByte(std::uint8_t b);
    int LastError() const { return lastError_; }

private:
    int fd_ = -1;
    int lastError_ = 0;
};

}  // namespace quelvo::ncsim::test
