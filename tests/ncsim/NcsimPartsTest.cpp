// The simulator's code tables, reception, punch framing, line pacing and
// options, checked directly.

#include <gtest/gtest.h>

#include <chrono>

#include "LineClock.h"
#include "PunchTape.h"
#include "Reception.h"
#include "SimOptions.h"
#include "TapeCode.h"

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
