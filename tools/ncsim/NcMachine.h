// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <csignal>
#include <memory>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "LineClock.h"
#include "PtyPort.h"
#include "PunchTape.h"
#include "Reception.h"
#include "Reporter.h"
#include "SimOptions.h"

namespace quelvo::ncsim {

// The simulated control: waits for the port to be opened, invites a send,
// takes and paces the program, or punches its stored program back, and
// reports every step. One session lasts from an open of the port to its close.
class NcMachine {
public:
    using Clock = std::chrono::steady_clock;

    // punch: the stored program's tape, when one was given.
    NcMachine(const SimOptions& options, std::optional<PunchTape> punch, Reporter& reporter);
    // punches: the tapes of every --punch, punched in turn with --cycle.
    NcMachine(const SimOptions& options, std::vector<PunchTape> punches, Reporter& reporter);

    // Runs until stopped by a signal (stop becomes non-zero) or, with --once,
    // until one transfer is over. Returns the process exit code.
    int Run(const volatile std::sig_atomic_t& stop);

    // The same loop in steps, for a driver that polls many controls at once
    // (LineBank): Start publishes the line; Prepare does what is due and says
    // what to wait for (false once the control is done); Resume takes the
    // outcome of that wait (the descriptor's revents, 0 after a time-out) and
    // may be called only after Prepare; Finish ends an open session and
    // withdraws the line, returning the exit code.
    struct Wait {
        int fd = -1;        // -1: only the time-out
        short events = 0;
        int timeoutMs = 0;
    };
    bool Start();
    bool Prepare(Wait& wait);
    void Resume(short revents);
    int Finish();
    // Whether a failed poll of the current wait ends the control (the wait
    // for an opener does; one inside a session is tried again).
    bool PollFailureIsFatal() const { return pending_ == Pending::Idle; }

private:
    enum class Pending { None, Idle, Sleep, Session };
    enum class Phase {
        Inviting,    // sending DC1 until data arrives
        Receiving,   // taking bytes into the buffer
        Processing,  // buffer full, DC3 sent, not reading
        Punching,    // sending the stored program
        AwaitDc4,    // punched; waiting for the receiver's DC4
        Dropping,    // punch cut short; hanging up once the last bytes are through
        Finished     // nothing more to do until the port closes
    };

    // The state of one opening of the port.
    struct Session {
        Phase phase = Phase::Inviting;
        Clock::time_point opened;
        Clock::time_point nextInvite;
        Clock::time_point processEnd;
        Clock::time_point dropAt;
        int invites = 0;
        int pauses = 0;
        long sinceDc1 = 0;
        long pendingAtDc3 = 0;
        long unpaced = 0;  // bytes taken after a hang-up, without pauses
        std::size_t punched = 0;
        bool punchStarted = false;
        bool punchHeld = false;
        bool dc4Reported = false;
        bool dataReported = false;
        std::size_t punchIndex = 0;      // --cycle: the tape punched next
        Clock::time_point cycleStart;    // --cycle: when the last transfer ended
    };

    // Creates a fresh pair and points the link at it.
    bool Publish();
    void StartSession(PtyPort& line);
    // One turn of the loop while the port is open, in two halves around its
    // poll; false when the session ended.
    bool StepBefore(Wait& wait);
    bool StepAfter(short revents);
    // A session ended: the next pair is published, or the control is done.
    void AfterSession();
    void Invite(Clock::time_point now);
    void ReceiveAvailable(Clock::time_point now, bool paced);
    void FinishProcessing(Clock::time_point now);
    void PunchSome(Clock::time_point now);
    void ReadControlBytes();
    void NoteByte(std::uint8_t b);
    bool DropDue() const;
    void EndSession(const char* reason);
    void Drop();
    void SendControl(std::uint8_t b);
    // Writes to the line, garbled as the opener's UART would read it (--garble).
    ssize_t WriteLine(const std::uint8_t* data, std::size_t size);
    void ReportLineSettings();
    int PollTimeoutMs(Clock::time_point now, bool wantInput) const;
    bool WantsInput(Clock::time_point now);
    // --cycle: the tape due next, or null when all are punched.
    const PunchTape* NextPunch() const;
    Clock::time_point PunchDue() const;
    // --cycle: a program ended (punched and acknowledged, or received): the
    // next transfer of the same opening follows.
    void NextCycle(Clock::time_point now);
    void SaveCycleProgram();

    const SimOptions& options_;
    std::optional<PunchTape> punch_;
    std::vector<PunchTape> punches_;
    long programsSaved_ = 0;  // --cycle: programs received over all openings
    Reporter& reporter_;
    std::unique_ptr<PtyPort> port_;     // the pair the link points at
    std::unique_ptr<PtyPort> retired_;  // the previous pair, while still held
    PtyPort* line_ = nullptr;           // the pair of the running session
    LineClock readClock_;
    LineClock writeClock_;
    Session session_;
    Reception reception_;
    std::string lineReported_;          // the line settings last reported
    bool sessionOpen_ = false;
    bool transferDone_ = false;
    Pending pending_ = Pending::None;
    bool sleepPending_ = false;  // nobody holds the port: wait before looking again
    int exitCode_ = -1;          // set once the control is done
};

}  // namespace quelvo::ncsim
