// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the ncsim program through its pseudo-terminal as a PC would.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "NcsimProcess.h"
#include "PtyClient.h"

namespace quelvo::ncsim::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kDc1 = 0x11;
constexpr std::uint8_t kDc4 = 0x14;
constexpr std::uint8_t kPause = 0x93;

// Even parity in bit 8, written out here so the tests do not lean on the
// simulator's own encoder.
Bytes IsoBytes(const std::string& text) {
    Bytes out;
    for (unsigned char c : text) {
        int ones = 0;
        for (int bit = 0; bit < 7; ++bit) ones += (c >> bit) & 1;
        out.push_back(static_cast<std::uint8_t>(ones % 2 == 1 ? c | 0x80 : c));
    }
    return out;
}

// The EIA codes of the characters the test programs use; CR has none.
Bytes EiaBytes(const std::string& text) {
    static const std::map<char, std::uint8_t> codes = {
        {'0', 0x20}, {'1', 0x01}, {'2', 0x02}, {'3', 0x13}, {'4', 0x04}, {'5', 0x15}, {'6', 0x16},
        {'7', 0x07}, {'8', 0x08}, {'9', 0x19}, {'F', 0x76}, {'G', 0x67}, {'M', 0x54}, {'N', 0x45},
        {'O', 0x46}, {'X', 0x37}, {'Y', 0x38}, {'.', 0x6B}, {'-', 0x40}, {'%', 0x0B}, {'\n', 0x80}};
    Bytes out;
    for (char c : text) {
        const auto it = codes.find(c);
        if (it != codes.end()) out.push_back(it->second);
    }
    return out;
}

std::string ProgramText(int lines) {
    std::ostringstream s;
    s << "%\r\nO1234\r\n";
    for (int i = 0; i < lines; ++i) s << "N" << (i + 1) * 10 << "G01X" << i << ".5Y-2.F100\r\n";
    s << "M30\r\n%";
    return s.str();
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes like a sender that obeys the handshake: it looks at the line every
// checkEvery bytes and, after the pause code, waits for DC1.
// Writes `data`, looking at the line every `checkEvery` bytes and holding on a
// pause until DC1. With `bufferSize` set, the writer also waits for the pause
// once that many bytes went out since the last resume, so the check does not
// depend on how fast the simulator gets scheduled.
bool SendObeying(PtyClient& client, const Bytes& data, int checkEvery, std::uint8_t pause,
                 int& pausesSeen, std::size_t bufferSize = 0) {
    std::size_t sinceResume = 0;
    auto awaitResume = [&]() {
        ++pausesSeen;
        int b;
        do {
            b = client.ReadByte(3000);
        } while (b >= 0 && b != kDc1);
        sinceResume = 0;
        return b == kDc1;
    };
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (bufferSize > 0 && sinceResume == bufferSize) {
            int b;
            do {
                b = client.ReadByte(3000);
            } while (b >= 0 && b != pause);
            if (b != pause || !awaitResume()) return false;
        } else if (i % static_cast<std::size_t>(checkEvery) == 0) {
            if (client.ReadByte(1) == pause && !awaitResume()) return false;
        }
        if (!client.WriteByte(data[i])) return false;
        ++sinceResume;
    }
    return true;
}

class NcsimTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ncsim-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        sim_.reset();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    // Starts ncsim on a link in the test folder and waits until it is published.
    void Start(std::vector<std::string> args) {
        args.insert(args.begin(), {"--link", PathOf("port"), "--invite-ms", "100"});
        sim_ = std::make_unique<NcsimProcess>(args);
        ASSERT_FALSE(sim_->WaitFor("ready", 5000).empty());
    }

    void OpenAndAwaitInvite(PtyClient& client) {
        ASSERT_TRUE(client.Open(PathOf("port"))) << std::strerror(client.LastError());
        ASSERT_EQ(client.ReadByte(5000), kDc1);
    }

    fs::path dir_;
    std::unique_ptr<NcsimProcess> sim_;
};

struct PacingCase {
    const char* name;
    const char* code;
    const char* pauseOption;
    std::uint8_t pause;
    Bytes (*encode)(const std::string&);
    std::string (*stored)(const std::string&);
};

void PrintTo(const PacingCase& c, std::ostream* os) { *os << c.name; }

class NcsimPacingTest : public NcsimTransferTest, public ::testing::WithParamInterface<PacingCase> {};

TEST_P(NcsimPacingTest, ObeyedProgramArrivesWholeAndOverrunsAreCounted) {
    const PacingCase& c = GetParam();
    Start({"--code", c.code, "--pause", c.pauseOption, "--buffer", "64", "--baud", "0",
           "--process-ms", "30", "--once", "--out", PathOf("out.nc")});
    const std::string text = ProgramText(30);
    const Bytes tape = c.encode(text);
    PtyClient client;
    OpenAndAwaitInvite(client);
    int pausesSeen = 0;
    ASSERT_TRUE(SendObeying(client, tape, 4, c.pause, pausesSeen, 64));
    client.Close();

    const std::string end = sim_->WaitFor("end", 5000);
    ASSERT_FALSE(end.empty());
    EXPECT_EQ(ReportValue(end, "received"), static_cast<long>(tape.size()));
    EXPECT_EQ(ReportValue(end, "parity_errors"), 0);
    EXPECT_EQ(ReportValue(end, "undecoded"), 0);
    EXPECT_NE(end.find("reason=hangup"), std::string::npos);
    EXPECT_EQ(ReadFile(PathOf("out.nc")), c.stored(text));
    EXPECT_EQ(sim_->WaitExit(5000), 0);

    const auto resumes = sim_->LinesStartingWith("dc1 ");
    EXPECT_GE(pausesSeen, static_cast<int>(tape.size() / 64) - 1);
    // A last pause may come after the sender's last look at the line.
    EXPECT_GE(static_cast<int>(resumes.size()), pausesSeen);
    EXPECT_LE(static_cast<int>(resumes.size()), pausesSeen + 1);
    for (const std::string& line : resumes) {
        // The sender looks at the line every 4 bytes, so about that many
        // follow a pause (the line's count may lag by a byte or two).
        EXPECT_LE(ReportValue(line, "after"), 7) << line;
    }
}

std::string AsWritten(const std::string& text) { return text; }

std::string WithoutCr(const std::string& text) {
    std::string out;
    for (char ch : text) {
        if (ch != '\r') out.push_back(ch);
    }
    return out;
}

// In EIA the digit 3 is 0x13, the same byte as the pause code the control
// sends the other way: the program is full of it.
INSTANTIATE_TEST_SUITE_P(
    Codes, NcsimPacingTest,
    ::testing::Values(PacingCase{"IsoPause93", "iso", "0x93", 0x93, IsoBytes, AsWritten},
                      PacingCase{"EiaPause13", "eia", "0x13", 0x13, EiaBytes, WithoutCr}),
    [](const ::testing::TestParamInfo<PacingCase>& info) { return info.param.name; });

TEST_F(NcsimTransferTest, SenderThatIgnoresThePauseIsReported) {
    Start({"--buffer", "32", "--baud", "0", "--process-ms", "500", "--once"});
    PtyClient client;
    OpenAndAwaitInvite(client);
    const Bytes data = IsoBytes(ProgramText(20));
    // A full buffer, then, once the pause code is on the line, 40 bytes more.
    ASSERT_TRUE(client.Write(Bytes(data.begin(), data.begin() + 32)));
    int b;
    do {
        b = client.ReadByte(5000);
    } while (b == kDc1);
    ASSERT_EQ(b, kPause);
    ASSERT_TRUE(client.Write(Bytes(data.begin() + 32, data.begin() + 72)));
    const std::string resume = sim_->WaitFor("dc1 n=1", 5000);
    EXPECT_EQ(ReportValue(resume, "after"), 40) << resume;
}

struct TapeCase {
    const char* name;
    const char* code;
    Bytes tape;
    const char* decidedCode;
    std::string text;
};

void PrintTo(const TapeCase& c, std::ostream* os) { *os << c.name; }

class NcsimDecodingTest : public NcsimTransferTest,
                          public ::testing::WithParamInterface<TapeCase> {};

TEST_P(NcsimDecodingTest, TapeIsStoredAsText) {
    const TapeCase& c = GetParam();
    Start({"--code", c.code, "--baud", "0", "--once", "--out", PathOf("out.nc")});
    PtyClient client;
    OpenAndAwaitInvite(client);
    Bytes tape = c.tape;
    tape.push_back(kDc4);
    ASSERT_TRUE(client.Write(tape));
    EXPECT_EQ(sim_->WaitFor("data", 5000), std::string("data code=") + c.decidedCode);
    ASSERT_FALSE(sim_->WaitFor("dc4", 5000).empty());
    client.Close();
    const std::string end = sim_->WaitFor("end", 5000);
    EXPECT_NE(end.find("reason=dc4"), std::string::npos) << end;
    EXPECT_EQ(ReportValue(end, "parity_errors"), 0);
    EXPECT_EQ(ReadFile(PathOf("out.nc")), c.text);
}

// %, :1234 (sent as O1234), G01X-10.5, % in EIA; 0x13 is the digit 3 there.
const Bytes kEiaTape = {0x0B, 0x80, 0x46, 0x01, 0x02, 0x13, 0x04, 0x80, 0x67, 0x20, 0x01, 0x37,
                        0x40, 0x01, 0x20, 0x6B, 0x15, 0x80, 0x0B, 0x80};
const char kEiaText[] = "%\nO1234\nG01X-10.5\n%\n";

INSTANTIATE_TEST_SUITE_P(
    Codes, NcsimDecodingTest,
    ::testing::Values(TapeCase{"Eia", "eia", kEiaTape, "eia", kEiaText},
                      TapeCase{"AutoFindsEia", "auto", kEiaTape, "eia", kEiaText},
                      TapeCase{"AutoFindsIso", "auto", IsoBytes("%\nO1234\n(T1)\n%\n"), "iso",
                               "%\nO1234\n(T1)\n%\n"},
                      TapeCase{"IsoKeepsCrLf", "iso", IsoBytes("O1\r\nM30\r\n"), "iso", "O1\r\nM30\r\n"}),
    [](const ::testing::TestParamInfo<TapeCase>& info) { return info.param.name; });

TEST_F(NcsimTransferTest, IsoParityErrorsAreCounted) {
    Start({"--code", "iso", "--baud", "0", "--once", "--out", PathOf("out.nc")});
    PtyClient client;
    OpenAndAwaitInvite(client);
    // "O" without its parity bit and "1" without it: both still read as text.
    ASSERT_TRUE(client.Write({0xA5, 0x0A, 0x4F, 0x31, 0x0A, kDc4}));
    client.Close();
    const std::string end = sim_->WaitFor("end", 5000);
    EXPECT_EQ(ReportValue(end, "parity_errors"), 2) << end;
    EXPECT_EQ(ReadFile(PathOf("out.nc")), "%\nO1\n");
}

struct PunchCase {
    const char* name;
    const char* code;
    Bytes tape;
};

void PrintTo(const PunchCase& c, std::ostream* os) { *os << c.name; }

class NcsimPunchTest : public NcsimTransferTest, public ::testing::WithParamInterface<PunchCase> {};

TEST_P(NcsimPunchTest, StoredProgramIsPunchedWhenNothingArrives) {
    std::ofstream(PathOf("stored.nc"), std::ios::binary) << "%\r\nO1000\r\nG00X0\r\nM30\r\n%\r\n";
    Start({"--code", GetParam().code, "--baud", "19200", "--punch", PathOf("stored.nc"),
           "--punch-after", "0.25", "--once"});
    PtyClient client;
    ASSERT_TRUE(client.Open(PathOf("port")));
    ASSERT_FALSE(sim_->WaitFor("punch start", 5000).empty());
    EXPECT_EQ(client.ReadCount(GetParam().tape.size(), 5000, true), GetParam().tape);
    EXPECT_EQ(client.ReadByte(300), -1);
    ASSERT_FALSE(sim_->WaitFor("punch done", 5000).empty());
    ASSERT_TRUE(client.WriteByte(kDc4));
    ASSERT_FALSE(sim_->WaitFor("dc4", 5000).empty());
    client.Close();
    const std::string end = sim_->WaitFor("end", 5000);
    EXPECT_NE(end.find("reason=dc4"), std::string::npos) << end;
    EXPECT_EQ(sim_->WaitExit(5000), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, NcsimPunchTest,
    ::testing::Values(
        PunchCase{"Iso", "iso", {0xA5, 0x0A, 0xCF, 0xB1, 0x30, 0x30, 0x30, 0x0A, 0x47, 0x30, 0x30,
                                 0xD8, 0x30, 0x0A, 0x4D, 0x33, 0x30, 0x0A, 0xA5, 0x0A}},
        PunchCase{"Eia", "eia", {0x0B, 0x80, 0x46, 0x01, 0x20, 0x20, 0x20, 0x80, 0x67, 0x20, 0x20,
                                 0x37, 0x20, 0x80, 0x54, 0x13, 0x20, 0x80, 0x0B, 0x80}}),
    [](const ::testing::TestParamInfo<PunchCase>& info) { return info.param.name; });

TEST_F(NcsimTransferTest, PunchWaitsWhileTheReceiverHoldsTheLine) {
    std::ofstream(PathOf("stored.nc"), std::ios::binary) << ProgramText(10);
    // 2400 baud: 240 characters a second.
    Start({"--baud", "2400", "--punch", PathOf("stored.nc"), "--punch-after", "0.1"});
    PtyClient client;
    ASSERT_TRUE(client.Open(PathOf("port")));
    ASSERT_FALSE(sim_->WaitFor("punch start", 5000).empty());
    const long total = ReportValue(sim_->Lines().back(), "bytes");

    ASSERT_EQ(client.ReadCount(10, 5000, true).size(), 10u);
    ASSERT_TRUE(client.WriteByte(kPause));
    // What the control punched before it saw the pause still arrives (how much
    // depends on how soon each side ran); after that the line stays quiet.
    const long held = ReportValue(sim_->WaitFor("hold", 5000), "punched");
    ASSERT_GE(held, 10);
    EXPECT_EQ(static_cast<long>(client.ReadCount(held - 10, 5000, true).size()), held - 10);
    EXPECT_EQ(client.ReadByte(300), -1);

    const Clock::time_point resumed = Clock::now();
    ASSERT_TRUE(client.WriteByte(kDc1));
    const Bytes rest = client.ReadCount(total - held, 5000, false);
    const double seconds = std::chrono::duration<double>(Clock::now() - resumed).count();
    EXPECT_EQ(static_cast<long>(rest.size()), total - held);
    EXPECT_EQ(client.ReadByte(300), -1);  // the whole tape and nothing more
    // The rest cannot come faster than the line speed allows.
    EXPECT_GE(seconds, static_cast<double>(rest.size()) / 240.0 * 0.9);
}

TEST_F(NcsimTransferTest, LineSpeedLimitsWhatTheControlTakes) {
    Start({"--baud", "2400", "--buffer", "96", "--once"});
    PtyClient client;
    OpenAndAwaitInvite(client);
    const Clock::time_point sent = Clock::now();
    ASSERT_TRUE(client.Write(IsoBytes(ProgramText(6))));
    ASSERT_FALSE(sim_->WaitFor("dc3 n=1", 5000).empty());
    const double seconds = std::chrono::duration<double>(Clock::now() - sent).count();
    // 96 characters at 240 a second take 0.4 s (longer on a busy machine).
    EXPECT_GE(seconds, 0.35);
}

TEST_F(NcsimTransferTest, DropHangsUpMidTransferAndPublishesANewPort) {
    Start({"--baud", "0", "--drop-after", "100", "--out", PathOf("out.nc")});
    const std::string text = ProgramText(40);
    PtyClient client;
    OpenAndAwaitInvite(client);
    int pausesSeen = 0;
    // The line buffers what the sender writes, so a sender may be through
    // before a busy control has taken 100 bytes; either way the line then dies.
    SendObeying(client, IsoBytes(text), 8, kPause, pausesSeen);
    EXPECT_EQ(ReportValue(sim_->WaitFor("drop", 5000), "bytes"), 100);
    int b;
    do {
        b = client.ReadByte(5000);
    } while (b >= 0);
    EXPECT_EQ(b, -2);
    EXPECT_EQ(client.LastError(), EIO);
    client.Close();

    const std::string end = sim_->WaitFor("end", 5000);
    EXPECT_NE(end.find("reason=drop"), std::string::npos) << end;
    EXPECT_EQ(ReadFile(PathOf("out.nc")), text.substr(0, 100));

    // The control comes back on a fresh port under the same name.
    ASSERT_FALSE(sim_->WaitFor("ready", 5000).empty());
    PtyClient again;
    OpenAndAwaitInvite(again);
}

TEST_F(NcsimTransferTest, DropCutsAPunchShortAndTheReportFileMatchesStdout) {
    std::ofstream(PathOf("stored.nc"), std::ios::binary) << ProgramText(5);
    Start({"--baud", "0", "--punch", PathOf("stored.nc"), "--punch-after", "0.1", "--drop-after", "12",
           "--once", "--report", PathOf("report.txt")});
    PtyClient client;
    ASSERT_TRUE(client.Open(PathOf("port")));
    EXPECT_EQ(client.ReadCount(20, 5000, true).size(), 12u);  // then the line fails
    EXPECT_EQ(sim_->WaitExit(5000), 0);
    EXPECT_EQ(client.ReadByte(100), -2);  // the line is gone
    EXPECT_NE(sim_->LinesStartingWith("end").at(0).find("punched=12 reason=drop"), std::string::npos);

    std::string fileLines;
    for (const std::string& line : sim_->Lines()) fileLines += line + "\n";
    EXPECT_EQ(ReadFile(PathOf("report.txt")), fileLines);
}

TEST_F(NcsimTransferTest, OpeningWithoutDataIsNotATransferAndEachOpenGetsAFreshPort) {
    Start({"--baud", "0", "--once"});
    const fs::path firstSlave = fs::read_symlink(PathOf("port"));
    {
        PtyClient probe;
        ASSERT_TRUE(probe.Open(PathOf("port")));
        ASSERT_FALSE(sim_->WaitFor("open", 5000).empty());
    }
    ASSERT_FALSE(sim_->WaitFor("close", 5000).empty());
    // A slave left exclusive by its last opener would refuse the next one, so
    // the control moves to a new pair after every close.
    ASSERT_FALSE(sim_->WaitFor("ready", 5000).empty());
    EXPECT_NE(fs::read_symlink(PathOf("port")), firstSlave);
    EXPECT_EQ(sim_->WaitExit(200), -1);

    PtyClient client;
    OpenAndAwaitInvite(client);
    ASSERT_TRUE(client.Write(IsoBytes("%\nO1\n%\n")));
    client.Close();
    EXPECT_FALSE(sim_->WaitFor("end", 5000).empty());
    EXPECT_EQ(sim_->WaitExit(5000), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(PathOf("port"))));
}

// --cycle: one opening serves many transfers, as a shop service keeps the line
// open. The stored programs are punched in turn, each after the receiver's
// DC4, without invitations in between (a send could not be told from the
// punch); then the control invites, and every program sent is saved on its
// own, from its "%" (or the "$" of an OSP header) to the next "%".
TEST_F(NcsimTransferTest, CycleServesManyTransfersInOneOpening) {
    std::ofstream(PathOf("a.nc"), std::ios::binary) << "O1\r\n";
    std::ofstream(PathOf("b.nc"), std::ios::binary) << "O2\r\n";
    Start({"--cycle", "--baud", "0", "--punch", PathOf("a.nc"), "--punch", PathOf("b.nc"), "--punch-after", "0.2",
           "--invite-ms", "100", "--out", PathOf("got")});
    PtyClient client;
    ASSERT_TRUE(client.Open(PathOf("port")));
    for (const char* program : {"%\nO1\n%\n", "%\nO2\n%\n"}) {
        const Bytes tape = IsoBytes(program);
        EXPECT_EQ(client.ReadCount(tape.size(), 5000, false), tape) << program;
        ASSERT_FALSE(sim_->WaitFor("punch done", 5000).empty());
        ASSERT_TRUE(client.WriteByte(kDc4));
        ASSERT_FALSE(sim_->WaitFor("end punched", 5000).empty());
    }
    EXPECT_EQ(client.ReadByte(5000), kDc1);
    ASSERT_TRUE(client.Write(IsoBytes("\n%\nO3\nM30\n%\n")));
    EXPECT_NE(sim_->WaitFor("program n=1", 5000).find("chars=10"), std::string::npos);
    EXPECT_EQ(client.ReadByte(5000), kDc1);
    ASSERT_TRUE(client.Write(IsoBytes("$A.MIN\nO4\n%")));
    ASSERT_FALSE(sim_->WaitFor("program n=2", 5000).empty());
    EXPECT_EQ(ReadFile(PathOf("got.1")), "%\nO3\nM30\n%");
    EXPECT_EQ(ReadFile(PathOf("got.2")), "$A.MIN\nO4\n%");
}


// Many controls in one process (--lines): each line of the file is a control
// of its own, with the shared options of the command line; at the same time
// one punches its program and another takes one, each paced at its own line
// speed, and each reports to its own file. With --once the process ends when
// every control has had its transfer.
TEST_F(NcsimTransferTest, OneProcessPlaysAControlPerLineOfItsFile) {
    const std::string program = ProgramText(30);
    std::ofstream(PathOf("stored.nc"), std::ios::binary) << program;
    std::ofstream(PathOf("controls"))
        << "# punches, then takes\n\n"
        << "--link " << PathOf("a") << " --punch " << PathOf("stored.nc") << " --report " << PathOf("a.log") << "\n"
        << "--link " << PathOf("b") << " --out " << PathOf("b.nc") << " --report " << PathOf("b.log") << "\n";
    sim_ = std::make_unique<NcsimProcess>(std::vector<std::string>{
        "--lines", PathOf("controls"), "--baud", "9600", "--buffer", "64", "--process-ms", "20",
        "--punch-after", "0.3", "--invite-ms", "100", "--once"});
    ASSERT_EQ(sim_->WaitFor("ready", 5000), "ready lines=2");

    PtyClient punching, taking;
    ASSERT_TRUE(punching.Open(PathOf("a")));
    ASSERT_TRUE(taking.Open(PathOf("b")));
    std::string tapeText = program.substr(3, program.size() - 4);  // without the file's own "%" lines
    for (std::size_t at; (at = tapeText.find('\r')) != std::string::npos;) tapeText.erase(at, 1);
    const Bytes tape = IsoBytes("%\n" + tapeText + "%\n");
    Bytes punched;
    double punchSeconds = 0;
    std::thread reader([&] {
        int first = kDc1;  // invitations until the punch starts
        while (first == kDc1) first = punching.ReadByte(5000);
        ASSERT_EQ(first, static_cast<int>(tape[0]));
        const Clock::time_point start = Clock::now();
        punched = punching.ReadCount(tape.size() - 1, 5000, false);
        punchSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        punching.WriteByte(kDc4);
    });
    ASSERT_EQ(taking.ReadByte(5000), kDc1);
    const Bytes sent = IsoBytes(ProgramText(20));
    int pauses = 0;
    EXPECT_TRUE(SendObeying(taking, sent, 1, kPause, pauses, 64));
    reader.join();
    taking.Close();
    punching.Close();
    EXPECT_EQ(sim_->WaitExit(10000), 0);

    EXPECT_EQ(Bytes(tape.begin() + 1, tape.end()), punched);
    // 960 characters a second; at most 10 ms of them pass at once.
    EXPECT_GE(punchSeconds, (static_cast<double>(tape.size()) - 1 - 10) / 960);
    EXPECT_EQ(ReadFile(PathOf("b.nc")), ProgramText(20));
    EXPECT_GE(pauses, static_cast<int>(sent.size() / 64) - 1);
    const std::string a = ReadFile(PathOf("a.log")), b = ReadFile(PathOf("b.log"));
    EXPECT_NE(a.find("punch done bytes=" + std::to_string(tape.size())), std::string::npos) << a;
    EXPECT_EQ(a.find("received="), std::string::npos) << a;
    EXPECT_NE(b.find("parity_errors=0"), std::string::npos) << b;
    EXPECT_EQ(b.find("punch"), std::string::npos) << b;
    EXPECT_TRUE(sim_->LinesStartingWith("open").empty());  // stdout carries only "ready"

    std::ofstream(PathOf("bad"), std::ios::binary) << "--link " << PathOf("c") << "\n--link " << PathOf("d")
                                                   << " --baud fast\n";
    sim_ = std::make_unique<NcsimProcess>(std::vector<std::string>{"--lines", PathOf("bad")});
    EXPECT_EQ(sim_->WaitExit(5000), 2);
}

}  // namespace
}  // namespace quelvo::ncsim::test
