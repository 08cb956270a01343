// SPDX-License-Identifier: GPL-3.0-or-later
// Line detection against the simulated control's own garbling: for every
// speed Quelvo offers, every tape code and both stop sizes, the control's tape
// is heard as a UART at the listening speed would read it, punch after punch,
// until the detector is done. It must name the control's speed and code, or
// say it cannot tell and name the candidates among which the truth is.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <sstream>

#include "PunchTape.h"
#include "UartSampling.h"
#include "core/transfer/LineDetect.h"

namespace quelvo::ncsim {
namespace {

const std::vector<int> kSpeeds{2400, 4800, 9600, 14400, 19200};

const char kProgram[] =
    "O1234 (PLATE 12)\nG90 G54 G00 X-12.5 Y40.\nS1200 M03\nG43 H01 Z5.\nG01 Z-2. F150\n"
    "X80. Y40.\nG02 X90. Y30. R10.\nG00 Z50.\nM30\n";

struct ControlCode {
    const char* name;
    ncsim::TapeCode tape;
    int dataBits;
    quelvo::TapeCode expected;
};

const ControlCode kCodes[] = {
    {"ISO", ncsim::TapeCode::Iso, 8, quelvo::TapeCode::ISO},
    {"EIA", ncsim::TapeCode::Eia, 8, quelvo::TapeCode::EIA},
    {"ASCII 7 bits", ncsim::TapeCode::Ascii, 7, quelvo::TapeCode::ASCII},
    {"ASCII 8 bits", ncsim::TapeCode::Ascii, 8, quelvo::TapeCode::ASCII},
};

bool Contains(const std::vector<quelvo::TapeCode>& codes, quelvo::TapeCode code) {
    for (const auto c : codes) {
        if (c == code) return true;
    }
    return false;
}

TEST(LineDetectTable, EveryOfferedSpeedCodeAndStopSizeIsFoundOrLeftOpenWithTheTruth) {
    std::ostringstream table;
    for (const ControlCode& code : kCodes) {
        const std::vector<std::uint8_t> tape = BuildPunchTape(kProgram, code.tape).bytes;
        for (const int speed : kSpeeds) {
            for (const int stop : {1, 2}) {
                const UartFormat control{speed, code.dataBits, 'N', stop};
                LineDetector detector(kSpeeds);
                std::vector<std::string> heardAt;
                while (!detector.Done() && heardAt.size() < 12) {
                    heardAt.push_back(std::to_string(detector.NextSpeed()) +
                                      (detector.NextDataBits() == 7 ? "/7" : ""));
                    const UartFormat listener{detector.NextSpeed(), detector.NextDataBits(), 'N', 1};
                    detector.Heard(SampleAsUart(tape, control, listener).bytes);
                }
                const LineDetection& r = detector.Result();
                std::ostringstream what;
                what << code.name << ' ' << speed << " stop " << stop;
                ASSERT_TRUE(detector.Done()) << what.str();
                if (r.speedFound) {
                    EXPECT_EQ(r.speed, speed) << what.str();
                    EXPECT_TRUE(Contains(r.codes, code.expected)) << what.str();
                } else {
                    // Cannot tell: the true speed must be among the candidates.
                    bool listed = false;
                    for (const int s : r.candidateSpeeds) listed = listed || s == speed;
                    EXPECT_TRUE(listed) << what.str();
                }
                table << what.str() << ": punches " << heardAt.size() << " (";
                for (std::size_t i = 0; i < heardAt.size(); ++i) table << (i ? " " : "") << heardAt[i];
                table << ") -> ";
                if (r.speedFound) {
                    table << r.speed;
                    for (const auto c : r.codes) table << ' ' << quelvo::TapeCodeName(c);
                    if (r.asciiStopAsBit8) table << " (7 bits)";
                } else {
                    table << "cannot tell, candidates";
                    for (const int s : r.candidateSpeeds) table << ' ' << s;
                }
                table << '\n';
            }
        }
    }
    if (std::getenv("QUELVO_PRINT_DETECTION") != nullptr) std::cout << table.str();
}

// Noise and silence never turn into an answer.
TEST(LineDetectTable, SilenceAndNoiseGiveNoAnswer) {
    LineDetector silent(kSpeeds);
    for (int i = 0; i < 3; ++i) silent.Heard({});
    EXPECT_TRUE(silent.Done());
    EXPECT_FALSE(silent.Result().speedFound);

    LineDetector noisy(kSpeeds);
    std::uint32_t seed = 12345;
    while (!noisy.Done()) {
        std::vector<std::uint8_t> bytes;
        for (int i = 0; i < 200; ++i) {
            seed = seed * 1103515245u + 12345u;
            bytes.push_back(static_cast<std::uint8_t>(seed >> 16));
        }
        noisy.Heard(bytes);
    }
    EXPECT_FALSE(noisy.Result().speedFound);
}

// A raw network port keeps the speed of its device server: one reading there.
TEST(LineDetectTable, FixedSpeedReadsOnceAtThatSpeed) {
    const std::vector<std::uint8_t> tape = BuildPunchTape(kProgram, ncsim::TapeCode::Iso).bytes;
    LineDetector right(kSpeeds, 9600);
    right.Heard(SampleAsUart(tape, {9600, 8, 'N', 2}, {9600, 8, 'N', 1}).bytes);
    ASSERT_TRUE(right.Done());
    EXPECT_TRUE(right.Result().speedFound);

    LineDetector wrong(kSpeeds, 9600);
    for (int punch = 0; punch < 3 && !wrong.Done(); ++punch) {
        EXPECT_EQ(wrong.NextSpeed(), 9600);
        wrong.Heard(SampleAsUart(tape, {4800, 8, 'N', 2}, {9600, wrong.NextDataBits(), 'N', 1}).bytes);
    }
    ASSERT_TRUE(wrong.Done());
    EXPECT_FALSE(wrong.Result().speedFound);
}

}  // namespace
}  // namespace quelvo::ncsim
