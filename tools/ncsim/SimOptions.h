// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TapeCode.h"

namespace quelvo::ncsim {

// Everything the command line can set. Times are in milliseconds.
struct SimOptions {
    std::string linkPath;              // symlink that publishes the slave side
    TapeCode code = TapeCode::Iso;
    bool punchCodeSet = false;         // --punch-code given: punches use punchCode
    TapeCode punchCode = TapeCode::Iso;
    int bufferSize = 256;              // bytes taken between DC1 and DC3
    std::uint8_t pauseCode = 0x93;     // the DC3 byte sent when the buffer is full
    int baud = 9600;                   // 0: no line-speed limit
    int processMs = 200;               // time spent "processing" a full buffer
    int inviteMs = 1000;               // interval between DC1 invitations
    std::string punchFile;             // program punched back when no data comes
    std::vector<std::string> punchFiles;  // every --punch, in order (the first is punchFile)
    bool cycle = false;                // one open serves many transfers (see --cycle)
    int punchAfterMs = 5000;
    long dropAfter = -1;               // hang up after this many bytes; -1 never
    std::string outFile;
    std::string reportFile;
    bool once = false;
    bool reportLine = false;           // report the opener's termios settings
    bool garble = false;               // deliver what the opener's UART would sample
    int stopBits = 2;                  // the control's own stop bits (with --garble)
    bool help = false;
    std::string linesFile;             // --lines: one control per line of this file
    int burstMs = 2;                   // line time that may pass at once (LineBank raises it)
};

// Parses argv into options. On failure returns false and sets error to a
// one-line reason.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& error);

// The text printed for --help and after a usage error.
// The usage text, naming the program as it was started (ncsim in the build
// folder, quelvo-ncsim where it is installed).
std::string SimUsageText(const std::string& program = "quelvo-ncsim");

}  // namespace quelvo::ncsim
