// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "TapeCode.h"

namespace quelvo::ncsim {

// The receiving half of the control: turns the bytes of one transfer into
// text and keeps the counts the report needs.
class Reception {
public:
    explicit Reception(TapeCode configured) : code_(configured) {}

    // Takes one byte off the line.
    void Take(std::uint8_t b);

    TapeCode Code() const { return code_; }
    // True once a data byte arrived (and, in auto mode, decided the code).
    bool Started() const { return started_; }
    // True once DC4 or CAN ended the transfer; later bytes are counted only.
    bool Ended() const { return ended_; }

    const std::string& Text() const { return text_; }
    long Received() const { return received_; }
    long Lines() const { return lines_; }
    long ParityErrors() const { return parityErrors_; }
    long Undecoded() const { return undecoded_; }

private:
    TapeCode code_;
    bool started_ = false;
    bool ended_ = false;
    std::string text_;
    long received_ = 0;
    long lines_ = 0;
    long parityErrors_ = 0;
    long undecoded_ = 0;
};

}  // namespace quelvo::ncsim
