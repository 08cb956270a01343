// SPDX-License-Identifier: GPL-3.0-or-later
#include "PunchTape.h"

#include <cstddef>
#include <fstream>
#include <sstream>

namespace quelvo::ncsim {

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void Put(PunchTape& tape, TapeCode code, char c) {
    const auto b = EncodeTapeChar(code, static_cast<std::uint8_t>(c));
    if (b) tape.bytes.push_back(*b);
    else ++tape.skipped;
}

}  // namespace

PunchTape BuildPunchTape(const std::string& programText, TapeCode code) {
    std::vector<std::string> lines = SplitLines(programText);
    std::size_t first = 0;
    std::size_t last = lines.size();
    if (first < last && lines[first] == "%") ++first;
    if (first < last && lines[last - 1] == "%") --last;

    PunchTape tape;
    Put(tape, code, '%');
    Put(tape, code, '\n');
    for (std::size_t i = first; i < last; ++i) {
        for (char c : lines[i]) Put(tape, code, c);
        Put(tape, code, '\n');
    }
    Put(tape, code, '%');
    Put(tape, code, '\n');
    return tape;
}

bool LoadPunchTapes(const std::vector<std::string>& files, TapeCode code, std::vector<PunchTape>& tapes,
                    std::string& error) {
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        if (in) text << in.rdbuf();
        if (!in || in.bad()) {
            error = "cannot read " + file;
            return false;
        }
        tapes.push_back(BuildPunchTape(text.str(), code));
    }
    return true;
}

}  // namespace quelvo::ncsim
