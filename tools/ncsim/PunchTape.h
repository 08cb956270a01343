// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TapeCode.h"

namespace quelvo::ncsim {

// The bytes a control punches for a stored program: "%", line end, each line
// of the program followed by a line end, "%" and one more line end. The last
// line end lets a receiver that acts on the closing "%" only when the next
// character arrives finish at once. Lines that are "%" alone at the start or
// end of the program text are the file's own framing and are not repeated.
// Characters the code cannot carry are left out and counted in `skipped`.
struct PunchTape {
    std::vector<std::uint8_t> bytes;
    long skipped = 0;
};

PunchTape BuildPunchTape(const std::string& programText, TapeCode code);

// The tapes of the files named by --punch, in order; false with the reason.
bool LoadPunchTapes(const std::vector<std::string>& files, TapeCode code, std::vector<PunchTape>& tapes,
                    std::string& error);

}  // namespace quelvo::ncsim
