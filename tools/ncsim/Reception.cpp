// SPDX-License-Identifier: GPL-3.0-or-later
#include "Reception.h"

namespace quelvo::ncsim {

void Reception::Take(std::uint8_t b) {
    ++received_;
    if (ended_) return;
    if (IsLineControl(code_, b)) {
        if (b == kDc4 || b == kCan) ended_ = true;
        return;
    }
    if (code_ == TapeCode::Auto) code_ = DecideCodeByParity(b);
    started_ = true;
    if (!HasCodeParity(code_, b)) ++parityErrors_;
    const auto ch = DecodeTapeByte(code_, b);
    if (!ch) {
        ++undecoded_;
        return;
    }
    text_.push_back(static_cast<char>(*ch));
    if (*ch == '\n') ++lines_;
}

}  // namespace quelvo::ncsim
