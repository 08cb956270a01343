// SPDX-License-Identifier: GPL-3.0-or-later
#include "NcMachine.h"

#include "LineSettings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <poll.h>
#include <unistd.h>

namespace quelvo::ncsim {

namespace {

constexpr int kMaxPollMs = 20;
// Time the opener gets to configure and purge its port before the first DC1.
constexpr std::chrono::milliseconds kFirstInviteDelay(50);
// A hang-up discards what the other side has not read yet; bytes punched
// before a drop get this long to arrive first, as they would on a real line.
constexpr std::chrono::milliseconds kDropSettle(100);

std::string Field(const char* key, long value) {
    return std::string(" ") + key + "=" + std::to_string(value);
}

// Writes beside the target and renames, so a reader never sees half a file.
bool WriteFileWhole(const std::string& path, const std::string& data, std::string& error) {
    const std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            error = temp + ": " + std::strerror(errno);
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

NcMachine::NcMachine(const SimOptions& options, std::optional<PunchTape> punch, Reporter& reporter)
    : options_(options),
      punch_(std::move(punch)),
      reporter_(reporter),
      readClock_(options.baud, options.burstMs),
      writeClock_(options.baud, options.burstMs),
      reception_(options.code) {}

NcMachine::NcMachine(const SimOptions& options, std::vector<PunchTape> punches, Reporter& reporter)
    : NcMachine(options, punches.empty() ? std::nullopt : std::optional<PunchTape>(punches.front()), reporter) {
    punches_ = std::move(punches);
}

const PunchTape* NcMachine::NextPunch() const {
    if (!options_.cycle) return punch_ ? &*punch_ : nullptr;
    return session_.punchIndex < punches_.size() ? &punches_[session_.punchIndex] : nullptr;
}

NcMachine::Clock::time_point NcMachine::PunchDue() const {
    return (options_.cycle ? session_.cycleStart : session_.opened) + std::chrono::milliseconds(options_.punchAfterMs);
}

void NcMachine::NextCycle(Clock::time_point now) {
    const std::size_t punchIndex = session_.punchIndex + (session_.punchStarted ? 1 : 0);
    const Clock::time_point opened = session_.opened;
    session_ = Session{};
    session_.opened = opened;
    session_.punchIndex = punchIndex;
    session_.cycleStart = now;
    session_.nextInvite = now + std::chrono::milliseconds(options_.inviteMs);
    reception_ = Reception(options_.code);
}

void NcMachine::SaveCycleProgram() {
    // The program runs from its first "%" (or the "$" of an OSP file-name
    // header) to the next "%"; what came before it (feed, the line end after
    // the last program) is no part of it.
    const std::string& text = reception_.Text();
    const std::size_t first = text.find_first_of("%$");
    const std::string program = text.substr(first, text.find('%', first + 1) - first + 1);
    ++programsSaved_;
    std::string path;
    if (!options_.outFile.empty()) {
        path = options_.outFile + "." + std::to_string(programsSaved_);
        std::string error;
        if (!WriteFileWhole(path, program, error)) std::fprintf(stderr, "ncsim: %s\n", error.c_str());
    }
    reporter_.Line("program" + Field("n", programsSaved_) + Field("chars", static_cast<long>(program.size()))
                   + " file=" + path);
}

bool NcMachine::Publish() {
    auto fresh = std::make_unique<PtyPort>();
    std::string error;
    if (!fresh->Create(options_.linkPath, error)) {
        std::fprintf(stderr, "ncsim: %s\n", error.c_str());
        return false;
    }
    if (port_) port_->LeaveLink();
    retired_ = std::move(port_);
    port_ = std::move(fresh);
    reporter_.Line("ready link=" + options_.linkPath + " slave=" + port_->SlavePath());
    // Someone may have opened the old pair between its close and the switch
    // of the link; it then gets a session of its own before it is closed.
    if (retired_) {
        pollfd p{retired_->Fd(), 0, 0};
        if (retired_->Fd() < 0 || poll(&p, 1, 0) != 1 || (p.revents & POLLHUP) != 0) retired_.reset();
    }
    return true;
}

int NcMachine::Run(const volatile std::sig_atomic_t& stop) {
    if (!Start()) return 1;
    Wait wait;
    while (stop == 0 && Prepare(wait)) {
        pollfd p{wait.fd, wait.events, 0};
        const int r = poll(&p, 1, wait.timeoutMs);
        if (r < 0) {
            if (errno != EINTR && PollFailureIsFatal()) {
                std::perror("ncsim: poll");
                return 1;
            }
            pending_ = Pending::None;  // the loop looks at the stop flag
            continue;
        }
        Resume(p.revents);
    }
    return Finish();
}

bool NcMachine::Start() { return Publish(); }

bool NcMachine::Prepare(Wait& wait) {
    while (exitCode_ < 0) {
        if (sessionOpen_) {
            if (StepBefore(wait)) {
                pending_ = Pending::Session;
                return true;
            }
            AfterSession();
            continue;
        }
        if (retired_) {
            StartSession(*retired_);
            continue;
        }
        if (sleepPending_) {
            sleepPending_ = false;
            wait = Wait{-1, 0, kMaxPollMs};
            pending_ = Pending::Sleep;
            return true;
        }
        wait = Wait{port_->Fd(), POLLIN, kMaxPollMs};
        pending_ = Pending::Idle;
        return true;
    }
    return false;
}

void NcMachine::Resume(short revents) {
    const Pending pending = pending_;
    pending_ = Pending::None;
    if (pending == Pending::Idle) {
        // A hang-up without data means nobody holds the port: poll would
        // report it at once, so wait a little before looking again.
        if ((revents & POLLHUP) != 0 && (revents & POLLIN) == 0) sleepPending_ = true;
        else StartSession(*port_);
    } else if (pending == Pending::Session) {
        if (!StepAfter(revents)) AfterSession();
    }
}

void NcMachine::AfterSession() {
    if (options_.once && transferDone_) {
        exitCode_ = 0;
        return;
    }
    if (line_ == retired_.get()) {
        retired_.reset();
    } else if (!Publish()) {
        // Each session gets a fresh pair: a slave once made exclusive
        // (TIOCEXCL) by an opener stays so, and would refuse the next one.
        exitCode_ = 1;
    }
}

int NcMachine::Finish() {
    if (exitCode_ == 1) return 1;
    if (sessionOpen_) EndSession("stopped");
    if (port_) port_->Unpublish();
    return 0;
}

void NcMachine::StartSession(PtyPort& line) {
    line_ = &line;
    session_ = Session{};
    session_.opened = Clock::now();
    session_.nextInvite = session_.opened + kFirstInviteDelay;
    session_.cycleStart = session_.opened;
    reception_ = Reception(options_.code);
    readClock_ = LineClock(options_.baud, options_.burstMs);
    writeClock_ = LineClock(options_.baud, options_.burstMs);
    sessionOpen_ = true;
    lineReported_.clear();
    reporter_.Line("open");
}

void NcMachine::ReportLineSettings() {
    const std::string text = LineSettingsText(line_->Fd());
    if (text.empty() || text == lineReported_) return;
    lineReported_ = text;
    reporter_.Line("line " + text);
}

bool NcMachine::StepBefore(Wait& wait) {
    if (options_.reportLine) ReportLineSettings();
    const Clock::time_point now = Clock::now();
    if (session_.phase == Phase::Inviting) {
        const PunchTape* tape = NextPunch();
        if (tape != nullptr && now >= PunchDue()) {
            session_.phase = Phase::Punching;
            session_.punchStarted = true;
            reporter_.Line("punch start" + Field("bytes", static_cast<long>(tape->bytes.size())));
        } else if (now >= session_.nextInvite && (tape == nullptr || !options_.cycle)) {
            Invite(now);
        }
    }
    if (session_.phase == Phase::Processing && now >= session_.processEnd) FinishProcessing(now);
    if (session_.phase == Phase::Punching) PunchSome(now);
    if (session_.phase == Phase::Dropping && now >= session_.dropAt) {
        Drop();
        return false;
    }

    const bool wantInput = WantsInput(now);
    wait = Wait{line_->Fd(), static_cast<short>(wantInput ? POLLIN : 0), PollTimeoutMs(now, wantInput)};
    return true;
}

bool NcMachine::StepAfter(short revents) {
    const Clock::time_point now = Clock::now();
    const bool hungUp = (revents & (POLLHUP | POLLERR)) != 0;
    const bool receiving = session_.phase == Phase::Inviting || session_.phase == Phase::Receiving
                           || session_.phase == Phase::Processing;
    if ((revents & POLLIN) != 0 || hungUp) {
        // After a hang-up whatever the other side wrote before closing is
        // still in the line: take all of it.
        if (receiving) ReceiveAvailable(now, hungUp);
        else ReadControlBytes();
        if (!sessionOpen_) return false;
    }
    if (!hungUp) return true;
    EndSession("hangup");
    reporter_.Line("close");
    return false;
}

void NcMachine::Invite(Clock::time_point now) {
    SendControl(kDc1);
    ++session_.invites;
    reporter_.Line("invite" + Field("n", session_.invites));
    session_.nextInvite = now + std::chrono::milliseconds(options_.inviteMs);
}

void NcMachine::ReceiveAvailable(Clock::time_point now, bool drainAll) {
    std::uint8_t buffer[4096];
    for (;;) {
        std::size_t want = sizeof buffer;
        if (!drainAll) {
            const long room = std::max(0L, options_.bufferSize - session_.sinceDc1);
            want = readClock_.Allowance(now, std::min(want, static_cast<std::size_t>(room)));
        }
        if (options_.dropAfter >= 0) {
            const long left = std::max(0L, options_.dropAfter - reception_.Received());
            want = std::min(want, static_cast<std::size_t>(left));
        }
        if (want == 0) return;
        const ssize_t n = line_->Read(buffer, want);
        if (n <= 0) return;
        if (drainAll) session_.unpaced += n;
        else readClock_.Consume(static_cast<std::size_t>(n));
        for (ssize_t i = 0; i < n; ++i) NoteByte(buffer[i]);
        session_.sinceDc1 += n;
        if (DropDue()) {
            Drop();
            return;
        }
        if (drainAll) continue;
        if (session_.sinceDc1 >= options_.bufferSize && !reception_.Ended()) {
            // What is queued before the pause code goes out was written
            // before the sender could know of it; only what comes on top counts.
            session_.pendingAtDc3 = line_->Pending();
            SendControl(options_.pauseCode);
            ++session_.pauses;
            session_.processEnd = now + std::chrono::milliseconds(options_.processMs);
            session_.phase = Phase::Processing;
            reporter_.Line("dc3" + Field("n", session_.pauses) + Field("received", reception_.Received())
                           + Field("queued", session_.pendingAtDc3));
        }
        return;
    }
}

void NcMachine::NoteByte(std::uint8_t b) {
    reception_.Take(b);
    if (options_.cycle) {
        // Between programs only a "%" or "$" starts the next one.
        const std::string& text = reception_.Text();
        const std::size_t first = text.find_first_of("%$");
        if (session_.phase == Phase::Inviting && first == std::string::npos) {
            reception_ = Reception(options_.code);
            return;
        }
        if (first != std::string::npos && text.find('%', first + 1) != std::string::npos) {
            SaveCycleProgram();
            NextCycle(Clock::now());
            return;
        }
    }
    if (session_.phase == Phase::Inviting) session_.phase = Phase::Receiving;
    if (!session_.dataReported && reception_.Started()) {
        session_.dataReported = true;
        reporter_.Line(std::string("data code=") + TapeCodeName(reception_.Code()));
    }
    if (!session_.dc4Reported && reception_.Ended()) {
        session_.dc4Reported = true;
        reporter_.Line("dc4");
    }
}

void NcMachine::FinishProcessing(Clock::time_point now) {
    (void)now;
    // The line's queue grew by what the sender wrote after it was told to
    // pause. (A pseudo-terminal queues up to about 20 KB, but shows at most
    // 4095 bytes of it, so the count is exact while less than that is queued.)
    const long after = std::max(0L, line_->Pending() - session_.pendingAtDc3);
    SendControl(kDc1);
    reporter_.Line("dc1" + Field("n", session_.pauses) + Field("after", after));
    session_.sinceDc1 = 0;
    session_.phase = Phase::Receiving;
}

void NcMachine::PunchSome(Clock::time_point now) {
    if (session_.punchHeld) return;
    const std::vector<std::uint8_t>& tape = NextPunch()->bytes;
    std::size_t want = writeClock_.Allowance(now, tape.size() - session_.punched);
    if (options_.dropAfter >= 0) {
        const auto left = static_cast<std::size_t>(
            std::max(0L, options_.dropAfter - static_cast<long>(session_.punched)));
        want = std::min(want, left);
    }
    if (want > 0) {
        const ssize_t n = WriteLine(tape.data() + session_.punched, want);
        if (n > 0) {
            writeClock_.Consume(static_cast<std::size_t>(n));
            session_.punched += static_cast<std::size_t>(n);
        }
    }
    if (DropDue()) {
        session_.phase = Phase::Dropping;
        session_.dropAt = now + kDropSettle;
        return;
    }
    if (session_.punched == tape.size()) {
        reporter_.Line("punch done" + Field("bytes", static_cast<long>(session_.punched)));
        session_.phase = Phase::AwaitDc4;
    }
}

void NcMachine::ReadControlBytes() {
    std::uint8_t buffer[256];
    for (;;) {
        const ssize_t n = line_->Read(buffer, sizeof buffer);
        if (n <= 0) return;
        for (ssize_t i = 0; i < n; ++i) {
            const std::uint8_t b = buffer[i];
            if ((b == kDc3 || b == kDc3Parity) && !session_.punchHeld) {
                session_.punchHeld = true;
                reporter_.Line("hold" + Field("punched", static_cast<long>(session_.punched)));
            } else if (b == kDc1 && session_.punchHeld) {
                session_.punchHeld = false;
                reporter_.Line("resume" + Field("punched", static_cast<long>(session_.punched)));
            } else if (b == kDc4 || b == kCan) {
                if (!session_.dc4Reported) reporter_.Line("dc4");
                session_.dc4Reported = true;
                // The receiver has ended: stop punching (a due drop still happens).
                if (session_.phase != Phase::Dropping) session_.phase = Phase::Finished;
                if (options_.cycle && session_.phase == Phase::Finished && session_.punchStarted) {
                    reporter_.Line("end" + Field("punched", static_cast<long>(session_.punched)) + " reason=dc4");
                    NextCycle(Clock::now());
                    return;
                }
            }
        }
    }
}

bool NcMachine::DropDue() const {
    if (options_.dropAfter < 0) return false;
    const long done = session_.punchStarted ? static_cast<long>(session_.punched)
                                            : reception_.Received();
    return done >= options_.dropAfter;
}

void NcMachine::Drop() {
    const long done = session_.punchStarted ? static_cast<long>(session_.punched)
                                            : reception_.Received();
    reporter_.Line("drop" + Field("bytes", done));
    EndSession("drop");
    line_->Hangup();
}

void NcMachine::EndSession(const char* reason) {
    sessionOpen_ = false;
    const std::string why = (std::strcmp(reason, "hangup") == 0 && session_.dc4Reported) ? "dc4" : reason;
    if (session_.punchStarted) {
        transferDone_ = true;
        reporter_.Line("end" + Field("punched", static_cast<long>(session_.punched)) + " reason=" + why);
        return;
    }
    if (reception_.Received() == 0) return;  // opened and closed: a probe, not a transfer
    if (options_.cycle && !reception_.Started()) return;  // only line ends after the last program
    transferDone_ = true;
    if (!options_.outFile.empty()) {
        std::string error;
        if (!WriteFileWhole(options_.outFile, reception_.Text(), error)) {
            std::fprintf(stderr, "ncsim: %s\n", error.c_str());
        }
    }
    reporter_.Line("end" + Field("received", reception_.Received())
                   + Field("chars", static_cast<long>(reception_.Text().size()))
                   + Field("lines", reception_.Lines())
                   + Field("parity_errors", reception_.ParityErrors())
                   + Field("undecoded", reception_.Undecoded())
                   + Field("unpaced", session_.unpaced)
                   + " code=" + TapeCodeName(reception_.Code()) + " reason=" + why);
}

void NcMachine::SendControl(std::uint8_t b) {
    WriteLine(&b, 1);
}

ssize_t NcMachine::WriteLine(const std::uint8_t* data, std::size_t size) {
    UartFormat opener;
    if (!options_.garble || !OpenerFormat(line_->Fd(), opener)) return line_->Write(data, size);
    UartFormat own;
    own.baud = options_.baud > 0 ? options_.baud : opener.baud;
    const TapeCode code = options_.punchCodeSet ? options_.punchCode : options_.code;
    own.dataBits = code == TapeCode::Ascii ? 7 : 8;
    own.parity = 'N';
    own.stopBits = options_.stopBits;
    if (own == opener) return line_->Write(data, size);
    // The garbled bytes go out whole; the caller counts what it meant to send.
    const UartSampled seen = SampleAsUart(std::vector<std::uint8_t>(data, data + size), own, opener);
    if (!seen.bytes.empty() && line_->Write(seen.bytes.data(), seen.bytes.size()) < 0) return -1;
    return static_cast<ssize_t>(size);
}

bool NcMachine::WantsInput(Clock::time_point now) {
    switch (session_.phase) {
    case Phase::Processing:
        return false;
    case Phase::Receiving:
        return readClock_.Allowance(now, 1) > 0;
    default:
        return true;
    }
}

int NcMachine::PollTimeoutMs(Clock::time_point now, bool wantInput) const {
    Clock::time_point until = now + std::chrono::milliseconds(kMaxPollMs);
    switch (session_.phase) {
    case Phase::Inviting:
        if (NextPunch() == nullptr || !options_.cycle) until = std::min(until, session_.nextInvite);
        if (NextPunch() != nullptr) until = std::min(until, PunchDue());
        break;
    case Phase::Processing:
        until = std::min(until, session_.processEnd);
        break;
    case Phase::Dropping:
        until = std::min(until, session_.dropAt);
        break;
    case Phase::Receiving:
        // Data may wait in the line while the emulated speed holds it back:
        // then sleep until the next character is due rather than on input.
        if (!wantInput) until = std::min(until, readClock_.NextSlot());
        break;
    case Phase::Punching:
        if (!session_.punchHeld) until = std::min(until, writeClock_.NextSlot());
        break;
    default:
        break;
    }
    if (until <= now) {
        // Something is due at once; a pacing wait still yields for a millisecond.
        const bool pacing = session_.phase == Phase::Punching
                            || (session_.phase == Phase::Receiving && !wantInput);
        return pacing ? 1 : 0;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
    return static_cast<int>(std::clamp<long long>(ms, 0, kMaxPollMs));
}

}  // namespace quelvo::ncsim
