// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-dnc's dashboard end to end: the built service with [http] set,
// spoken to over plain sockets, so that hostile and slow clients send exactly
// the bytes a test writes.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "DncRig.h"
#include "HttpTestClient.h"
#include "NcsimProcess.h"
#include "core/common/Cp932.h"
#include "core/dnc/DncSpool.h"
#include "support/TempFolder.h"

namespace quelvo::test {
namespace {

constexpr int kLongWaitMs = 240000;
const std::string kToken = "tok-7f3c9a21e5";
const std::string kGood = "X-Quelvo-Token: " + kToken + "\r\n";

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The [http] section for `port`; `extra` adds keys.
std::string HttpSection(int port, const std::string& extra = "") {
  return "\n[http]\nlisten = 127.0.0.1:" + std::to_string(port) + "\ntoken_file = token\nweb_dir = " +
         QUELVO_WEB_SOURCE_DIR + "\nmax_upload_kb = 64\n" + extra;
}

void StartWithHttp(DncRig& rig, int port, const std::string& extra = "") {
  WriteText(rig.Folder("token"), kToken + "\n");
  rig.AddConfigText(HttpSection(port, extra));
  rig.StartService();
  ASSERT_TRUE(WaitUntil([&] { return Request(port, "GET", "/").status == 200; }, 60000)) << rig.Journal();
}

// A machine whose control is not there (its port is missing): the service
// keeps it offline, and its queue stays as it is.
RigMachine OfflineMachine() {
  RigMachine m;
  m.name = "mc1";
  m.spool["O1000.nc"] = Crlf("O1000\nG00X0Y0\nM30\n");
  return m;
}

std::string Multipart(const std::string& fileName, const std::string& bytes) {
  return "--b0\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + fileName +
         "\"\r\n\r\n" + bytes + "\r\n--b0--\r\n";
}

std::string Post(const std::string& path, const std::string& headers, const std::string& body) {
  return "POST " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Type: multipart/form-data; boundary=b0\r\n" +
         headers + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string Get(const std::string& path, const std::string& headers = "", const std::string& method = "GET") {
  return method + " " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + headers + "\r\n";
}

// Every hostile request is refused with the status it deserves and leaves
// the spool (and every folder around it) as it was; reads change nothing.
TEST(DncHttp, RefusesHostileRequestsAndReadsChangeNothing) {
  DncRig rig;
  rig.AddMachine(OfflineMachine());
  const int port = FreeLocalPort();
  StartWithHttp(rig, port);
  const std::string spool = rig.Folder("mc1") + "/spool";
  const std::string queued = FileText(spool + "/O1000.nc");
  const std::string program = Multipart("O2000.nc", "O2000\r\nM30\r\n");
  const std::string queue = "/api/machines/mc1/queue";
  struct Case {
    const char* what;
    std::string request;
    int status;
  };
  const Case cases[] = {
      {"read without the token", Get("/api/machines"), 401},
      {"read with a wrong token", Get("/api/machines", "X-Quelvo-Token: tok-7f3c9a21e6\r\n"), 401},
      {"read with a longer token", Get("/api/machines", "X-Quelvo-Token: " + kToken + "x\r\n"), 401},
      {"events without the token", Get("/api/events"), 401},
      {"queue list without the token", Get(queue), 401},
      {"the page needs no token", Get("/app.js"), 200},
      {"upload without the token", Post(queue, "", program), 401},
      {"upload with a wrong token", Post(queue, "X-Quelvo-Token: wrong-token-1\r\n", program), 401},
      {"upload with a wrong bearer", Post(queue, "Authorization: Bearer wrong-token-1\r\n", program), 401},
      {"upload with the token in the query", Post(queue + "?token=" + kToken, "", program), 401},
      {"upload with a basic login", Post(queue, "Authorization: Basic " + kToken + "\r\n", program), 401},
      {"removal without the token", Get(queue + "/O1000.nc", "", "DELETE"), 401},
      {"machine path going up", Post("/api/machines/../../etc/queue", kGood, program), 404},
      {"machine path with encoded slashes", Post("/api/machines/mc1%2F..%2F..%2Fx/queue", kGood, program), 404},
      {"unknown machine", Post("/api/machines/mc9/queue", kGood, program), 404},
      {"machine name starting with a dot", Post("/api/machines/.mc1/queue", kGood, program), 404},
      {"file name going up", Post(queue, kGood, Multipart("../evil.nc", "X")), 400},
      {"file name with a folder", Post(queue, kGood, Multipart("a/evil.nc", "X")), 400},
      {"file name with a backslash", Post(queue, kGood, Multipart("..\\evil.nc", "X")), 400},
      {"hidden file name", Post(queue, kGood, Multipart(".queue-x.tmp", "X")), 400},
      {"empty file name", Post(queue, kGood, Multipart("", "X")), 400},
      {"file name with a control character", Post(queue, kGood, Multipart("a\x01.nc", "X")), 400},
      {"no file field", Post(queue, kGood, "--b0\r\nContent-Disposition: form-data; name=\"x\"\r\n\r\nX\r\n--b0--\r\n"), 400},
      {"raw body with a name going up",
       "POST " + queue + "?name=..%2Fevil.nc HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + kGood +
           "Content-Length: 1\r\n\r\nX",
       400},
      {"raw body without a name",
       "POST " + queue + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + kGood + "Content-Length: 1\r\n\r\nX", 400},
      {"removal going up", Get(queue + "/..%2FSetData1.ini", kGood, "DELETE"), 404},
      {"removal of the folder itself", Get(queue + "/..", kGood, "DELETE"), 404},
      {"removal of what is not queued", Get(queue + "/O9999.nc", kGood, "DELETE"), 404},
      {"GET of a queued file removes nothing", Get(queue + "/O1000.nc", kGood), 405},
      {"POST to the machine list", Get("/api/machines", kGood, "POST"), 405},
      {"a file beside the page", Get("/../dnc.conf"), 404},
      {"the configuration through the page", Get("/dnc.conf"), 404},
  };
  for (const Case& c : cases) {
    const HttpReply reply = RawRequest(port, c.request);
    EXPECT_EQ(reply.status, c.status) << c.what << "\n" << reply.headers << "\n" << reply.body;
  }
  // Bytes that are no HTTP at all (a TLS greeting): refused or dropped.
  const HttpReply garbage = RawRequest(port, std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 15), 3000);
  EXPECT_TRUE(garbage.status == 0 || garbage.status >= 400) << garbage.status;

  // An upload far over the cap is refused from its headers alone: the
  // answer comes while not one byte of its body has been sent.
  const int big = ConnectLocal(port);
  ASSERT_GE(big, 0);
  const std::string headers = "POST " + queue + " HTTP/1.1\r\nHost: x\r\n" + kGood +
                              "Content-Type: application/octet-stream\r\nContent-Length: 1073741824\r\n\r\n";
  ASSERT_EQ(::send(big, headers.data(), headers.size(), MSG_NOSIGNAL), static_cast<ssize_t>(headers.size()));
  const std::string refusal = ReadUntil(big, "\r\n\r\n", 20000);
  EXPECT_EQ(refusal.compare(0, 12, "HTTP/1.1 413"), 0) << refusal;
  ::close(big);
  // Without a length, the upload is cut off at the cap and nothing is queued.
  const HttpReply chunked = RawRequest(
      port, "POST " + queue + "?name=O3000.nc HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + kGood +
                "Transfer-Encoding: chunked\r\n\r\n10000\r\n" + std::string(0x10000, 'X') + "\r\n10\r\n" +
                std::string(16, 'Y') + "\r\n0\r\n\r\n");
  EXPECT_NE(chunked.status, 201) << chunked.body;

  // All the reads, with the token: nothing in the spool changes.
  for (const std::string& path : std::vector<std::string>{"/", "/index.html", "/style.css", "/api/machines", queue, queue + "/O1000.nc"}) {
    RawRequest(port, Get(path, kGood));
  }
  EXPECT_EQ(FolderNames(spool), std::vector<std::string>{"O1000.nc"}) << rig.Journal();
  EXPECT_EQ(FileText(spool + "/O1000.nc"), queued);
  for (const std::string& folder : std::vector<std::string>{rig.Folder("mc1"), rig.Folder("")}) {
    EXPECT_EQ(FileText(folder + "/evil.nc"), "");
  }

  // What is allowed: the upload lands byte for byte; the same name again
  // never replaces it; removal takes exactly the named file.
  const std::string bytes = "%\r\nO1000(FROM THE BROWSER)\r\nG01X1.\r\nM30\r\n%\r\n";
  const HttpReply first = Upload(port, queue, kToken, "O1001.nc", bytes);
  EXPECT_EQ(first.status, 201) << first.body;
  EXPECT_EQ(FileText(spool + "/O1001.nc"), bytes);
  const HttpReply again = Upload(port, queue, kToken, "O1000.nc", "other");
  EXPECT_EQ(again.status, 201) << again.body;
  EXPECT_EQ(FileText(spool + "/O1000.nc"), queued);
  EXPECT_EQ(FolderNames(spool).size(), 3u);
  const HttpReply bearer =
      Request(port, "DELETE", queue + "/O1001.nc", "Authorization: Bearer " + kToken + "\r\n");
  EXPECT_EQ(bearer.status, 200) << bearer.body;
  EXPECT_EQ(FileText(spool + "/O1001.nc"), "");
  const HttpReply list = Request(port, "GET", queue, kGood);
  EXPECT_NE(list.body.find("\"O1000.nc\""), std::string::npos) << list.body;
}

// A machine's folders through the dashboard: its library queued from, its
// queue reordered (what the worker reads as its order), its inbox listed,
// downloaded byte for byte and compared with the library, its last log. Each
// change needs the token; each name stays in its folder.
TEST(DncHttp, MachineFoldersThroughTheDashboard) {
  DncRig rig;
  RigMachine m = OfflineMachine();
  m.library["O2000.nc"] = Crlf("O2000(\xB6\xBA\xB3)\nG00X0Y0\nG01X10.F100\nM30\n");  // a CP932 comment
  m.library["O2001.nc"] = Crlf("O2001\nM30\n");
  rig.AddMachine(m);
  const std::string folder = rig.Folder("mc1");
  const std::string received = Crlf("%\nO2000(\xB6\xBA\xB3)\nG00X0Y0\nG01X12.F100\nM30\n%\n");
  WriteText(folder + "/inbox/O2000.nc", received);
  WriteText(rig.Folder("secret.nc"), "O6666\n");
  std::filesystem::create_directories(rig.Folder("log"));
  WriteText(rig.Folder("log") + "/mc1-20261208-031500-1-S.log", Utf8ToCp932("送信開始 O1000\r\n"));
  const int port = FreeLocalPort();
  StartWithHttp(rig, port);
  const std::string base = "/api/machines/mc1";
  const std::string spool = folder + "/spool";

  const struct {
    const char* what;
    std::string request;
    int status;
  } refused[] = {
      {"queue from the library without the token", Get(base + "/library/O2000.nc/queue", "", "POST"), 401},
      {"move without the token", Get(base + "/queue/O1000.nc/up", "", "POST"), 401},
      {"move with the token in the query", Get(base + "/queue/O1000.nc/up?token=" + kToken, "", "POST"), 401},
      {"acknowledgement without the token", Get(base + "/notice/ack", "", "POST"), 401},
      {"inbox without the token", Get(base + "/inbox/O2000.nc"), 401},
      {"queue from the library by GET", Get(base + "/library/O2000.nc/queue", kGood), 405},
      {"move by GET", Get(base + "/queue/O1000.nc/down", kGood), 405},
      {"acknowledgement by GET", Get(base + "/notice/ack", kGood), 405},
      {"library file going up", Get(base + "/library/..%2F..%2Fsecret.nc/queue", kGood, "POST"), 404},
      {"library file through a link out", Get(base + "/library/out.nc/queue", kGood, "POST"), 404},
      {"library file not there", Get(base + "/library/O9.nc/queue", kGood, "POST"), 404},
      {"inbox file going up", Get(base + "/inbox/..%2F..%2Fsecret.nc", kGood), 404},
      {"inbox staging folder", Get(base + "/inbox/.receiving", kGood), 404},
      {"inbox link out", Get(base + "/inbox/out.nc", kGood), 404},
      {"compare of a file the library lacks", Get(base + "/inbox/out.nc/compare", kGood), 404},
      {"move of what is not queued", Get(base + "/queue/O9.nc/up", kGood, "POST"), 404},
      {"move of a hidden file", Get(base + "/queue/.queue-x/up", kGood, "POST"), 404},
      {"unknown action", Get(base + "/queue/O1000.nc/top", kGood, "POST"), 404},
  };
  ASSERT_EQ(symlink(rig.Folder("secret.nc").c_str(), (folder + "/library/out.nc").c_str()), 0);
  ASSERT_EQ(symlink(rig.Folder("secret.nc").c_str(), (folder + "/inbox/out.nc").c_str()), 0);
  for (const auto& c : refused) {
    const HttpReply reply = RawRequest(port, c.request);
    EXPECT_EQ(reply.status, c.status) << c.what << "\n" << reply.body;
    EXPECT_NE(reply.body.find("\"error\""), std::string::npos) << c.what;
  }
  EXPECT_EQ(FolderNames(spool), std::vector<std::string>{"O1000.nc"});
  EXPECT_EQ(FolderNames(rig.Folder("state")).size(), 1u);  // no acknowledgement written

  const HttpReply library = Request(port, "GET", base + "/library", kGood);
  EXPECT_NE(library.body.find("{\"name\": \"O2001.nc\", \"bytes\": 12, "), std::string::npos) << library.body;
  EXPECT_EQ(library.body.find("out.nc"), std::string::npos) << library.body;
  for (const char* name : {"O2000.nc", "O2001.nc"}) {
    const HttpReply queued = Request(port, "POST", base + "/library/" + name + "/queue", kGood);
    EXPECT_EQ(queued.status, 201) << queued.body;
    EXPECT_EQ(FileText(spool + "/" + name), FileText(folder + "/library/" + name));
  }
  // Queued by the same second: the order still follows each move.
  ASSERT_EQ(SpooledFiles(spool), (std::vector<std::string>{"O1000.nc", "O2000.nc", "O2001.nc"}));
  const HttpReply up = Request(port, "POST", base + "/queue/O2001.nc/up", kGood);
  EXPECT_EQ(up.status, 200) << up.body;
  EXPECT_NE(up.body.find("\"files\": [\"O1000.nc\", \"O2001.nc\", \"O2000.nc\"]"), std::string::npos) << up.body;
  EXPECT_EQ(Request(port, "POST", base + "/queue/O1000.nc/down", kGood).status, 200);
  EXPECT_EQ(SpooledFiles(spool), (std::vector<std::string>{"O2001.nc", "O1000.nc", "O2000.nc"}));
  EXPECT_NE(rig.Journal().find("mc1: moved O1000.nc down in the queue"), std::string::npos) << rig.Journal();

  const HttpReply inbox = Request(port, "GET", base + "/inbox", kGood);
  EXPECT_NE(inbox.body.find("\"name\": \"O2000.nc\", \"bytes\": " + std::to_string(received.size())),
            std::string::npos)
      << inbox.body;
  const HttpReply download = Request(port, "GET", base + "/inbox/O2000.nc", kGood);
  EXPECT_EQ(download.status, 200);
  EXPECT_EQ(download.body, received);  // byte for byte, the CP932 comment too
  EXPECT_NE(download.headers.find("Content-Disposition: attachment; filename=\"O2000.nc\""), std::string::npos)
      << download.headers;
  const HttpReply compare = Request(port, "GET", base + "/inbox/O2000.nc/compare", kGood);
  EXPECT_EQ(compare.status, 200) << compare.body;
  EXPECT_NE(compare.body.find("\"same\": false, \"changed\": 1, \"added\": 0, \"removed\": 0"), std::string::npos)
      << compare.body;
  EXPECT_NE(compare.body.find("-library/O2000.nc:3: G01X10.F100\\u000a+inbox/O2000.nc:4: G01X12.F100"),
            std::string::npos)
      << compare.body;
  EXPECT_NE(compare.body.find("変更 1 ブロック、追加 0、削除 0"), std::string::npos) << compare.body;

  const HttpReply log = Request(port, "GET", base + "/log", kGood);
  EXPECT_EQ(log.status, 200) << log.body;
  EXPECT_NE(log.body.find("\"file\": \"mc1-20261208-031500-1-S.log\", \"text\": \"送信開始 O1000\\u000a\""),
            std::string::npos)
      << log.body;
  const HttpReply ack = Request(port, "POST", base + "/notice/ack", kGood);
  EXPECT_EQ(ack.status, 202) << ack.body;

  // The control comes online: the worker sends in the order the dashboard set.
  ASSERT_TRUE(rig.StartControl("mc1"));
  ASSERT_TRUE(WaitUntil([&] { return FolderNames(spool) == std::vector<std::string>{"sent"}; }, kLongWaitMs))
      << rig.Journal();
  const std::string order[] = {"O2001.nc", "O1000.nc", "O2000.nc"};
  for (int i = 0; i < 3; ++i) {
    // (the 7-bit ISO line carries the CP932 comment's bytes without their top bit)
    EXPECT_EQ(FileText(folder + "/got." + std::to_string(i + 1)).compare(0, 6, "%" + order[i].substr(0, 5)), 0)
        << order[i];
  }
}

// Browsers that go away in the middle of the stream, abruptly or not, cost
// the service nothing: the streams that stay get every change.
TEST(DncHttp, StreamsSurviveBrowsersThatLeave) {
  DncRig rig;
  rig.AddMachine(OfflineMachine());
  const int port = FreeLocalPort();
  StartWithHttp(rig, port, "public_read = yes\n");
  const std::string events = Get("/api/events");
  const int staying = ConnectLocal(port);
  ASSERT_GE(staying, 0);
  ::send(staying, events.data(), events.size(), MSG_NOSIGNAL);
  ASSERT_NE(ReadUntil(staying, "event: queues", 20000).find("O1000.nc"), std::string::npos);
  for (int i = 0; i < 20; ++i) {
    const int fd = ConnectLocal(port);
    ASSERT_GE(fd, 0);
    ::send(fd, events.data(), events.size(), MSG_NOSIGNAL);
    ReadUntil(fd, "event: machines", 10000);
    if (i % 2 == 0) {  // a reset instead of an orderly close
      const linger hard{1, 0};
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    ::close(fd);
  }
  // Half-sent requests that stop, too.
  for (int i = 0; i < 5; ++i) {
    const int fd = ConnectLocal(port);
    ::send(fd, "GET /api/ev", 11, MSG_NOSIGNAL);
    ::close(fd);
  }
  const HttpReply added = Upload(port, "/api/machines/mc1/queue", kToken, "O4000.nc", "O4000\r\nM30\r\n");
  ASSERT_EQ(added.status, 201) << added.body;
  EXPECT_NE(ReadUntil(staying, "O4000.nc", 20000).find("O4000.nc"), std::string::npos);
  ::close(staying);
  EXPECT_EQ(Request(port, "GET", "/api/machines").status, 200);
  EXPECT_EQ(rig.StopService(SIGTERM), 0) << rig.Journal();
}

long ThreadsOf(pid_t pid) {
  const std::string status = FileText("/proc/" + std::to_string(pid) + "/status");
  const size_t at = status.find("Threads:");
  return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 8);
}

// Many slow clients (more than the connection limit) hold their sockets
// open, sending a byte now and then, while a program uploaded through the
// dashboard goes to the control and the control punches one: both arrive
// byte for byte, the service's threads stay bounded by the limit, and the
// dashboard answers again once the slow clients are timed out.
TEST(DncHttp, SlowClientsNeverHoldATransfer) {
  DncRig rig;
  RigMachine m;
  m.name = "mc1";
  m.baud = 19200;
  m.speedIndex = 4;
  const std::string punch = "O5001\nG00X1.Y1.\nG01Z-2.F80\nM30\n";
  m.punches = {punch};
  m.punchAfter = 2.0;
  rig.AddMachine(m);
  ASSERT_TRUE(rig.StartControls());
  const int port = FreeLocalPort();
  StartWithHttp(rig, port, "max_clients = 32\ntimeout_seconds = 4\n");
  std::string program = "O6001\n";
  for (int i = 0; i < 300; ++i) program += "N" + std::to_string(i) + "G01X" + std::to_string(i % 97) + ".5Y-2.\n";
  program = Crlf(program + "M30\n");
  ASSERT_EQ(Upload(port, "/api/machines/mc1/queue", kToken, "O6001.nc", program).status, 201);

  constexpr int kSlow = 80;
  std::vector<int> slow;
  for (int i = 0; i < kSlow; ++i) {
    const int fd = ConnectLocal(port);
    if (fd < 0) continue;
    ::send(fd, "GET /api/machines HTTP/1.1\r\nHost:", 33, MSG_NOSIGNAL);
    slow.push_back(fd);
  }
  long mostThreads = 0;
  const std::string folder = rig.Folder("mc1");
  const bool sent = WaitUntil(
      [&] {
        for (const int fd : slow) ::send(fd, "x", 1, MSG_NOSIGNAL);  // a byte now and then
        mostThreads = std::max(mostThreads, ThreadsOf(rig.ServicePid()));
        return FolderNames(folder + "/spool") == std::vector<std::string>{"sent"} &&
               !FileText(folder + "/inbox/O5001.nc").empty();
      },
      kLongWaitMs);
  for (const int fd : slow) ::close(fd);
  ASSERT_TRUE(sent) << rig.Journal();
  EXPECT_EQ(FileText(folder + "/got.1"), DncRig::WindowSendText(program, rig.Setting("mc1"), "iso"));
  EXPECT_EQ(FileText(folder + "/inbox/O5001.nc"), DncRig::WindowReception(punch, "iso", rig.Setting("mc1"), false));
  // main, the feed, the listener, one worker and at most max_clients connections
  EXPECT_LE(mostThreads, 4 + 32 + 2);
  RecordProperty("most_service_threads", static_cast<int>(mostThreads));
  EXPECT_TRUE(WaitUntil([&] { return Request(port, "GET", "/api/machines", kGood).status == 200; }, 60000));
}

}  // namespace
}  // namespace quelvo::test
