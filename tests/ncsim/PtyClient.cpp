// SPDX-License-Identifier: GPL-3.0-or-later
#include "PtyClient.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace quelvo::ncsim::test {

bool PtyClient::Open(const std::string& path) {
    Close();
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        lastError_ = errno;
        return false;
    }
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    tcsetattr(fd_, TCSANOW, &t);
    return true;
}

void PtyClient::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

int PtyClient::ReadByte(int timeoutMs) {
    pollfd p{fd_, POLLIN, 0};
    const int r = poll(&p, 1, timeoutMs);
    if (r == 0) return -1;
    std::uint8_t b = 0;
    const ssize_t n = read(fd_, &b, 1);
    if (n == 1) return b;
    lastError_ = n < 0 ? errno : EIO;
    return -2;
}

std::vector<std::uint8_t> PtyClient::ReadCount(std::size_t count, int timeoutMs, bool skipInvites) {
    std::vector<std::uint8_t> got;
    while (got.size() < count) {
        const int b = ReadByte(timeoutMs);
        if (b < 0) break;
        if (skipInvites && b == 0x11) continue;
        got.push_back(static_cast<std::uint8_t>(b));
    }
    return got;
}

bool PtyClient::Write(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            lastError_ = errno;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool PtyClient::WriteByte(std::uint8_t b) {
    return Write({b});
}

}  // namespace quelvo::ncsim::test
