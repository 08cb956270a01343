// SPDX-License-Identifier: GPL-3.0-or-later
#include "PtyPort.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace quelvo::ncsim {

namespace {

std::string SystemReason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

}  // namespace

PtyPort::~PtyPort() {
    Unpublish();
    Hangup();
}

bool PtyPort::Create(const std::string& linkPath, std::string& error) {
    Hangup();
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0) {
        error = SystemReason("posix_openpt");
        return false;
    }
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = SystemReason("grantpt/unlockpt");
        Hangup();
        return false;
    }
    char name[PATH_MAX];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error = SystemReason("ptsname");
        Hangup();
        return false;
    }
    slavePath_ = name;
    if (!SetRaw()) {
        error = SystemReason("tcsetattr");
        Hangup();
        return false;
    }
    // Until the slave has been opened once the master reports no hang-up;
    // one open and close here makes "nobody holds the port" visible from the start.
    const int slave = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        error = SystemReason(slavePath_);
        Hangup();
        return false;
    }
    close(slave);

    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error = linkPath + ": exists and is not a symlink";
        Hangup();
        return false;
    }
    const std::string temp = linkPath + ".new";
    unlink(temp.c_str());
    if (symlink(slavePath_.c_str(), temp.c_str()) != 0) {
        error = SystemReason(temp);
        Hangup();
        return false;
    }
    if (rename(temp.c_str(), linkPath.c_str()) != 0) {
        error = SystemReason(linkPath);
        unlink(temp.c_str());
        Hangup();
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

void PtyPort::Hangup() {
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

void PtyPort::Unpublish() {
    if (linkPath_.empty()) return;
    char target[PATH_MAX];
    const ssize_t n = readlink(linkPath_.c_str(), target, sizeof target - 1);
    if (n >= 0) {
        target[n] = '\0';
        if (slavePath_ == target) unlink(linkPath_.c_str());
    }
    linkPath_.clear();
}

long PtyPort::Pending() const {
    int n = 0;
    if (master_ < 0 || ioctl(master_, FIONREAD, &n) != 0) return 0;
    return n;
}

ssize_t PtyPort::Read(std::uint8_t* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = read(master_, buffer, size);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        // EIO: the other side is closed and nothing is left to read.
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EIO) return 0;
        return -1;
    }
}

ssize_t PtyPort::Write(const std::uint8_t* data, std::size_t size) {
    for (;;) {
        const ssize_t n = write(master_, data, size);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        return -1;
    }
}

bool PtyPort::SetRaw() {
    // Terminal attributes set through the master apply to the slave.
    termios t {};
    if (tcgetattr(master_, &t) != 0) return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    return tcsetattr(master_, TCSANOW, &t) == 0;
}

}  // namespace quelvo::ncsim
