// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's code tables, reception, punch framing, line pacing and
// options, checked directly.

#include <gtest/gtest.h>

#include <chrono>

#include "LineClock.h"
#include "PunchTape.h"
#include "Reception.h"
#include "SimOptions.h"
#include "TapeCode.h"
#include "UartSampling.h"

namespace quelvo::ncsim {
namespace {

std::vector<std::uint8_t> Encode(TapeCode code, const std::string& text) {
    std::vector<std::uint8_t> out;
    for (unsigned char c : text) {
        if (auto b = EncodeTapeChar(code, c)) out.push_back(*b);
    }
    return out;
}

TEST(NcsimTapeCode, IsoAddsEvenParityBelow0x80Only) {
    EXPECT_EQ(Encode(TapeCode::Iso, "O1234"), (std::vector<std::uint8_t>{0xCF, 0xB1, 0xB2, 0x33, 0xB4}));
    EXPECT_EQ(Encode(TapeCode::Iso, "%\n\r G.F"),
              (std::vector<std::uint8_t>{0xA5, 0x0A, 0x8D, 0xA0, 0x47, 0x2E, 0xC6}));
    EXPECT_EQ(EncodeTapeChar(TapeCode::Iso, 0x13), 0x93);
    EXPECT_EQ(EncodeTapeChar(TapeCode::Iso, 0x82), 0x82);  // a Shift-JIS byte stays as it is
    EXPECT_EQ(EncodeTapeChar(TapeCode::Ascii, 'O'), 'O');
}

TEST(NcsimTapeCode, EiaTableAndItsGaps) {
    EXPECT_EQ(Encode(TapeCode::Eia, "G01"), (std::vector<std::uint8_t>{0x67, 0x20, 0x01}));
    EXPECT_EQ(Encode(TapeCode::Eia, ":1234"), Encode(TapeCode::Eia, "O1234"));
    // Lower case, CR, "#", ";" and bytes above 0x7F have no EIA code.
    EXPECT_TRUE(Encode(TapeCode::Eia, "g\r#;\x82").empty());
    EXPECT_EQ(DecodeTapeByte(TapeCode::Eia, 0x46), 'O');
    EXPECT_EQ(DecodeTapeByte(TapeCode::Eia, 0x13), '3');
    EXPECT_EQ(DecodeTapeByte(TapeCode::Eia, 0x80), '\n');
    EXPECT_EQ(DecodeTapeByte(TapeCode::Eia, 0x03), std::nullopt);
    // Every EIA data code has odd parity: the table itself is checked here.
    for (int c = 0; c < 0x80; ++c) {
        const auto b = EncodeTapeChar(TapeCode::Eia, static_cast<std::uint8_t>(c));
        if (!b || (c >= 0x11 && c <= 0x14)) continue;
        EXPECT_EQ(CountOneBits(*b) % 2, 1) << "char " << c;
        EXPECT_EQ(DecodeTapeByte(TapeCode::Eia, *b), c == ':' ? 'O' : c) << "char " << c;
    }
}

TEST(NcsimReception, AutoDecidesOnTheFirstDataByteNotOnLineControls) {
    Reception eia(TapeCode::Auto);
    for (std::uint8_t b : {0x11, 0x00, 0x12, 0x80, 0x46, 0x13}) eia.Take(b);
    EXPECT_EQ(eia.Code(), TapeCode::Eia);
    EXPECT_EQ(eia.Text(), "\nO3");
    EXPECT_EQ(eia.Lines(), 1);

    Reception iso(TapeCode::Auto);
    for (std::uint8_t b : {0x11, 0xA5, 0x0A, 0x93, 0x4F}) iso.Take(b);
    EXPECT_EQ(iso.Code(), TapeCode::Iso);
    EXPECT_EQ(iso.Text(), "%\nO");
    EXPECT_EQ(iso.ParityErrors(), 1);
    EXPECT_EQ(iso.Received(), 5);
}

TEST(NcsimReception, Dc4EndsTheTextAndUnknownEiaBytesAreCounted) {
    Reception r(TapeCode::Eia);
    // 0x03 has even parity and no EIA meaning.
    for (std::uint8_t b : {0x01, 0x03, 0x14, 0x02}) r.Take(b);
    EXPECT_TRUE(r.Ended());
    EXPECT_EQ(r.Text(), "1");
    EXPECT_EQ(r.Undecoded(), 1);
    EXPECT_EQ(r.ParityErrors(), 1);
    EXPECT_EQ(r.Received(), 4);
}

TEST(NcsimPunchTape, FramesTheProgramOnceWhateverTheFileHolds) {
    const std::vector<std::uint8_t> framed = BuildPunchTape("%\r\nO1\r\n%\r\n", TapeCode::Ascii).bytes;
    const std::vector<std::uint8_t> bare = BuildPunchTape("O1", TapeCode::Ascii).bytes;
    const std::string expected = "%\nO1\n%\n";
    EXPECT_EQ(framed, std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(bare, framed);

    const PunchTape eia = BuildPunchTape("O1(a)", TapeCode::Eia);
    EXPECT_EQ(eia.skipped, 1);
}

TEST(NcsimLineClock, PassesTenBitsPerCharacter) {
    using namespace std::chrono;
    LineClock clock(9600);  // 960 characters a second
    const auto t0 = LineClock::Clock::now();
    // A reader that asks every millisecond for as much as it can get.
    std::size_t total = 0;
    for (int ms = 0; ms <= 1000; ++ms) {
        const std::size_t n = clock.Allowance(t0 + milliseconds(ms), 100000);
        clock.Consume(n);
        total += n;
    }
    EXPECT_GE(total, 955u);
    EXPECT_LE(total, 965u);
    // Idle time buys only a small burst, not a second's worth.
    EXPECT_LE(clock.Allowance(t0 + seconds(5), 100000), 4u);
    EXPECT_EQ(LineClock(0).Allowance(t0, 12345), 12345u);
}

TEST(NcsimOptions, ParsesValuesAndRefusesBadOnes) {
    SimOptions o;
    std::string error;
    ASSERT_TRUE(ParseSimOptions({"--link", "p", "--code", "eia", "--pause", "0x13", "--buffer", "100",
                                 "--punch-after", "0.5", "--drop-after", "7", "--once"},
                                o, error))
        << error;
    EXPECT_EQ(o.code, TapeCode::Eia);
    EXPECT_EQ(o.pauseCode, 0x13);
    EXPECT_EQ(o.bufferSize, 100);
    EXPECT_EQ(o.punchAfterMs, 500);
    EXPECT_EQ(o.dropAfter, 7);
    EXPECT_TRUE(o.once);

    const std::vector<std::vector<std::string>> bad = {
        {},                                   // no link
        {"--link", "p", "--pause", "0x12"},   // not a pause code
        {"--link", "p", "--code", "binary"},
        {"--link", "p", "--buffer", "0"},
        {"--link", "p", "--baud"},            // value missing
        {"--link", "p", "--drop-after", "0"},
        {"--link", "p", "--frobnicate", "1"},
    };
    for (const auto& args : bad) {
        SimOptions ignored;
        EXPECT_FALSE(ParseSimOptions(args, ignored, error)) << (args.empty() ? "" : args.back());
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace quelvo::ncsim

namespace quelvo::ncsim {
namespace {

// What a receiving UART makes of a sender whose settings differ from its own.
TEST(NcsimUartSampling, ReadsWhatAMismatchedReceiverWouldRead) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> sent;
        UartFormat sender, receiver;
        std::vector<std::uint8_t> read;
        int framing, parity;
    };
    const Case cases[] = {
        {"same format", {0x25, 0x0A, 0xB0}, {9600, 8, 'N', 2}, {9600, 8, 'N', 2}, {0x25, 0x0A, 0xB0}, 0, 0},
        {"two stop bits read by a one-stop receiver", {0x41, 0x42}, {4800, 8, 'N', 2}, {4800, 8, 'N', 1},
         {0x41, 0x42}, 0, 0},
        {"only the first stop bit is checked", {0x41, 0x42}, {4800, 8, 'N', 1}, {4800, 8, 'N', 2},
         {0x41, 0x42}, 0, 0},
        {"7 bits then idle: the stop bit is read as bit 8", {0x41}, {9600, 7, 'N', 1}, {9600, 8, 'N', 1},
         {0xC1}, 0, 0},
        {"7N1 back to back: the next start bit fails the stop", {0x41, 0x41}, {9600, 7, 'N', 1},
         {9600, 8, 'N', 1}, {0xC1, 0xF0}, 1, 0},
        {"bit 8 taken as parity", {0xD5, 0x55}, {9600, 8, 'N', 1}, {9600, 7, 'E', 1}, {0x55, 0x55}, 0, 1},
        {"half-speed sender: a long low run, a framing error", {0x00}, {4800, 8, 'N', 1}, {9600, 8, 'N', 1},
         {0x00, 0x80}, 1, 0},
        {"double-speed sender: a start bit too short is no start", {0xFF}, {19200, 8, 'N', 1},
         {9600, 8, 'N', 1}, {}, 0, 0},
        {"double-speed sender: the stop bits land in the data", {0x00}, {19200, 8, 'N', 2}, {9600, 8, 'N', 1},
         {0xF8}, 0, 0},
    };
    for (const Case& c : cases) {
        const UartSampled got = SampleAsUart(c.sent, c.sender, c.receiver);
        EXPECT_EQ(got.bytes, c.read) << c.what;
        EXPECT_EQ(got.framingErrors, c.framing) << c.what;
        EXPECT_EQ(got.parityErrors, c.parity) << c.what;
    }
}

}  // namespace
}  // namespace quelvo::ncsim
