// SPDX-License-Identifier: GPL-3.0-or-later
#include "Reporter.h"

#include <cerrno>
#include <cstring>

namespace quelvo::ncsim {

Reporter::~Reporter() {
    if (file_ != nullptr) std::fclose(file_);
}

bool Reporter::OpenFile(const std::string& path, std::string& error) {
    file_ = std::fopen(path.c_str(), "a");
    if (file_ == nullptr) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void Reporter::Line(const std::string& text) {
    if (toStdout_) {
        std::fprintf(stdout, "%s\n", text.c_str());
        std::fflush(stdout);
    }
    if (file_ != nullptr) {
        std::fprintf(file_, "%s\n", text.c_str());
        std::fflush(file_);
    }
}

}  // namespace quelvo::ncsim
