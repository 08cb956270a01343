// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer session: what follows the engine's run (the mail notice of the
// setting, the close decision) and Stop as a call, on the fakes of the send
// engine's tests.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/transfer/session/TransferSession.h"
#include "../send/SendRig.h"

namespace quelvo {
namespace {

using test::SendRig;

struct Mail {
  std::string address, subject, body;
};

// The send rig with a hook on the host's idle calls.
struct SessionRig : SendRig {
  std::function<void()> onIdle;
  TransferSession session{link, host, log, options};
  std::vector<Mail> mails;
  SessionRig() {
    host.onIdle = [this] {
      if (onIdle) onIdle();
    };
    session.SetMailer([this](const std::string& a, const std::string& s, const std::string& b) {
      mails.push_back({a, s, b});
    });
    job.setting.Mail_Subject = "NC";
  }
  TransferResult Run() { return session.RunSend(job, {"O1", "G1", ""}); }
};

// One table for the mail notice: only Mail_Flg "Y" with an address holding
// "@" mails, and only after a send that opened its port; the body says how
// the send ended.
TEST(TransferSession, MailNoticeFollowsTheSettingAndTheEnding) {
  struct Case {
    const char* name;
    const char* flag;
    const char* address;
    bool controlStarts;  // DC1 comes: the send completes; else it is stopped while waiting
    bool portOpens;
    bool mailed;
    const char* ending;
  };
  const Case cases[] = {
      {"completed", "Y", "shop@example.com", true, true, true, "\n送信無事完了しました。"},
      {"stopped while waiting", "Y", "shop@example.com", false, true, true, "\n送信中断しました。"},
      {"setting off", "N", "shop@example.com", true, true, false, ""},
      {"address without @", "Y", "shop", true, true, false, ""},
      {"no address", "Y", "", true, true, false, ""},
      {"port never opened", "Y", "shop@example.com", true, false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SessionRig rig;
    rig.job.setting.Mail_Flg = c.flag;
    rig.job.setting.Mail_Address = c.address;
    if (!c.portOpens) rig.port.openErrno = ENOENT;
    if (c.controlStarts) {
      rig.StartOnDc1();
    } else {
      rig.host.HoldKeyFrom(StopKey::kEsc, 100);
    }
    const TransferResult result = rig.Run();
    EXPECT_EQ(result.mailed, c.mailed);
    ASSERT_EQ(rig.mails.size(), c.mailed ? 1u : 0u);
    if (!c.mailed) continue;
    const Mail& mail = rig.mails[0];
    EXPECT_EQ(mail.address, c.address);
    EXPECT_EQ(mail.subject, "NC");
    // The start line only when the data began.
    EXPECT_EQ(mail.body.rfind(c.controlStarts ? "開始 " : "終了 ", 0), 0u) << mail.body;
    EXPECT_EQ(mail.body.substr(mail.body.size() - std::string(c.ending).size()), c.ending);
  }
}

TEST(TransferSession, CloseDecisionOnlyAfterACompletedSendThatAskedForIt) {
  for (const bool completes : {true, false}) {
    for (const bool asked : {true, false}) {
      SCOPED_TRACE(std::to_string(completes) + std::to_string(asked));
      SessionRig rig;
      rig.job.CloseAfterTransfer = asked;
      rig.options.powerOffAfterTransfer = true;
      if (completes) {
        rig.StartOnDc1();
      } else {
        rig.host.HoldKeyFrom(StopKey::kF3, 100);
      }
      const TransferResult result = rig.Run();
      EXPECT_EQ(result.completed, completes);
      EXPECT_EQ(result.errorNumber, completes ? 0 : 9999);
      EXPECT_EQ(result.closeProgram, completes && asked);
      EXPECT_EQ(result.powerOff, completes && asked);
    }
  }
}

// Stop is a call: any kind ends the send through the user's stop path (its
// log line and 9999), the result says which kind it was, and a stop that
// came between two transfers does not stop the next one.
TEST(TransferSession, StopIsACallOfAnyKindThatEndsOneTransfer) {
  for (const StopKind kind : {StopKind::kF3, StopKind::kEsc, StopKind::kShutdown, StopKind::kControlNeverStarted}) {
    SessionRig rig;
    // While the send waits for the control, as a front end's thread would call it.
    rig.onIdle = [&] {
      if (rig.clock.nowMs < 100) return;
      rig.session.Stop(kind);
      rig.onIdle = nullptr;
    };
    const TransferResult stopped = rig.Run();
    EXPECT_FALSE(stopped.completed);
    EXPECT_EQ(stopped.errorNumber, 9999);
    EXPECT_EQ(stopped.stoppedBy, kind);
    const auto texts = rig.LogTexts();
    EXPECT_EQ(texts[texts.size() - 2], "  送信待機中に手動操作にて中止");
    EXPECT_FALSE(rig.session.Running());

    rig.session.Stop(kind);  // nothing runs: it reaches no transfer
    rig.port.written.clear();
    rig.StartOnDc1(rig.clock.nowMs + 1);
    const TransferResult next = rig.Run();
    EXPECT_TRUE(next.completed) << rig.log.Text();
    EXPECT_EQ(next.stoppedBy, std::nullopt);
  }
}

// A port that fails under the send is the session's answer, with the error
// number and the log line the send always gave for it; a sound run says no.
TEST(TransferSession, APortFailureIsReportedWithItsUsualNumber) {
  struct Case {
    const char* name;
    std::function<void(SessionRig&)> fail;
    bool portFailed;
    int errorNumber;
    const char* reasonLine;  // the start of the log line before the abort line
  };
  const Case cases[] = {
      {"write refused during the data",
       [](SessionRig& rig) {
         rig.StartOnDc1();
         rig.port.onWrite = [&rig](uint8_t) {
           if (rig.port.written.size() == 1) rig.port.writeErrno = EIO;
         };
       },
       true, 1011, "  ポートに書き込めない為中止："},
      {"device gone while waiting", [](SessionRig& rig) { rig.port.readErrno = ENXIO; }, true, 1016,
       "  ポートから読み込めない為中止："},
      {"sound port", [](SessionRig& rig) { rig.StartOnDc1(); }, false, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SessionRig rig;
    c.fail(rig);
    const TransferResult result = rig.Run();
    EXPECT_EQ(result.portFailed, c.portFailed);
    EXPECT_EQ(result.completed, !c.portFailed);
    EXPECT_EQ(result.errorNumber, c.errorNumber);
    if (c.reasonLine == nullptr) continue;
    const auto texts = rig.LogTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2].rfind(c.reasonLine, 0), 0u) << texts[texts.size() - 2];
    EXPECT_EQ(texts.back(), "  送信中止　ｴﾗｰ番号 " + std::to_string(c.errorNumber));
  }
}

// Stop from another thread while the data flows, as the window's 中止 does:
// the engine tests the request before every character, so at most the
// character already past its test goes out, then the abort's DC4.
TEST(TransferSession, AStopFromAnotherThreadEndsTheDataWithinTwoCharacters) {
  SessionRig rig;
  std::vector<std::string> lines(4000, "N10 G01 X12.345 Y-6.5 F1200.");
  lines.emplace_back();
  std::atomic<size_t> writes{0};
  std::atomic<bool> stopped{false};
  rig.StartOnDc1();
  rig.port.onWrite = [&](uint8_t) {
    ++writes;
    // Never let the send finish before the other thread has stopped it, on
    // however busy a machine (bounded, so that a lost stop fails, not hangs).
    if (writes.load() + 500 < 4000 * 30) return;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!stopped.load() && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
  };
  size_t writesWhenStopped = 0;
  std::thread front([&] {
    while (writes.load() < 1000) std::this_thread::yield();
    rig.session.Stop(StopKind::kEsc);
    writesWhenStopped = writes.load();
    stopped.store(true);
  });
  rig.session.BeginRun();
  const TransferResult result = rig.session.RunSend(rig.job, lines);
  front.join();
  EXPECT_FALSE(result.completed);
  EXPECT_EQ(result.stoppedBy, StopKind::kEsc);
  EXPECT_TRUE(result.errorNumber == 1011 || result.errorNumber == 1012)
      << result.errorNumber << ": a stop during a line keeps the number of its character or its line end";
  EXPECT_FALSE(result.portFailed);
  EXPECT_LE(rig.port.written.size(), writesWhenStopped + 2);
  EXPECT_EQ(rig.port.written.back(), '\x14');
}

// The snapshot is the session's: a line feed the engine replaced is in the
// lines it keeps and came out as an event.
TEST(TransferSession, TheDocumentIsASnapshotChangedOnlyThroughEvents) {
  SessionRig rig;
  FakeSendHost& window = rig.window;
  rig.StartOnDc1();
  rig.session.RunSend(rig.job, {"G1\n", "G2", ""});
  EXPECT_EQ(rig.session.SentLines(), (std::vector<std::string>{"G1", "G2", ""}));
  EXPECT_EQ(window.shownLines.size(), 3u);  // the first line once before the loop, then every line but the last
  EXPECT_EQ(window.completionTimerStarts, 1);
}

}  // namespace
}  // namespace quelvo
