// SPDX-License-Identifier: GPL-3.0-or-later
// The library of revisions read back with git's own command line: what
// libgit2 wrote is what a shop sees with git log and git show.
#include "core/dnc/ProgramHistory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/dnc/LibraryPush.h"
#include "support/TempFolder.h"

// libgit2 1.5 keeps the match data of a regular expression (PCRE2) in the
// remote's address rewriting (url.*.insteadOf) for good; the leak checker of
// the sanitizer build is told. Nothing of ours uses PCRE2: the stacks of
// these allocations end in it before reaching libgit2's callers.
extern "C" const char* __lsan_default_suppressions() { return "leak:libpcre2-8.so\n"; }

namespace quelvo {
namespace {

// Runs a git command line; its output.
std::string Git(const std::string& args) {
  const std::string command = "git " + args + " 2>&1";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

std::string In(const std::string& folder) { return "-C '" + folder + "' "; }

const std::time_t kT0 = 1796700000;  // a fixed time: the messages are compared whole

TEST(ProgramHistory, ReceivedAndSentRevisionsAsGitShowsThem) {
  test::TempFolder dir;
  const std::string lib = dir.File("library");
  ProgramHistory history;
  std::string error, commit;
  ASSERT_TRUE(history.Open(lib, &error)) << error;  // a folder that is not there becomes a repository

  const std::string v1 = "%\r\nO1234 (T1)\r\nG01 X10.\r\nM30\r\n%\r\n";
  const std::string v2 = "%\r\nO1234 (T1)\r\nG01 X12.\r\nM30\r\n%\r\n";
  ASSERT_TRUE(history.RecordSent("O1234", "mc01", v1, "request", kT0, &error)) << error;
  ASSERT_TRUE(history.RecordSent("O1234", "mc01", v1, "queue", kT0 + 60, &error)) << error;  // same text: no commit
  ASSERT_TRUE(history.RecordReceived("O1234", "mc01", v2, "punch", kT0 + 120, &commit, &error)) << error;

  EXPECT_EQ(Git(In(lib) + "log --format='%an|%s' -- O1234.nc"),
            "mc01|O1234 received from mc01\nmc01|O1234 sent to mc01\n");
  const std::string message = Git(In(lib) + "log -1 --format=%B " + commit);
  EXPECT_NE(message.find("Program: O1234\nMachine: mc01\nTime: "), std::string::npos) << message;
  EXPECT_NE(message.find("\nBytes: " + std::to_string(v2.size()) + "\nKind: punch\n"), std::string::npos) << message;
  EXPECT_EQ(Git(In(lib) + "show HEAD:O1234.nc"), v2);
  EXPECT_EQ(Git(In(lib) + "show sent/mc01/O1234:O1234.nc"), v1);
  const std::string note = Git(In(lib) + "notes show sent/mc01/O1234");
  EXPECT_NE(note.find("sent to mc01 at "), std::string::npos) << note;
  EXPECT_NE(note.find("(queue, O1234, " + std::to_string(v1.size()) + " bytes)"), std::string::npos) << note;
  EXPECT_EQ(Git(In(lib) + "status --porcelain"), "");  // the working file is the newest revision

  std::string sent;
  ASSERT_TRUE(history.LastSent("O1234", "mc01", &sent, &error));
  EXPECT_EQ(sent, v1);
  EXPECT_FALSE(history.LastSent("O1234", "mc02", &sent, &error));
  EXPECT_TRUE(error.empty());

  std::vector<ProgramRevision> revisions;
  ASSERT_TRUE(history.History("O1234", &revisions, &error));
  ASSERT_EQ(revisions.size(), 3u);
  EXPECT_TRUE(revisions[0].sent && revisions[1].sent && !revisions[2].sent);
  EXPECT_EQ(revisions[0].kind, "request");
  EXPECT_EQ(revisions[1].kind, "queue");
  EXPECT_EQ(revisions[2].kind, "punch");
  EXPECT_EQ(revisions[2].machine, "mc01");
  EXPECT_EQ(revisions[2].bytes, v2.size());
  EXPECT_EQ(revisions[1].time, kT0 + 60);
}

// The window compares with the last revision received from any machine: a
// later send (even of other text) does not hide it, a newer reception replaces it.
TEST(ProgramHistory, LastReceivedRevisionIsTheNewestReceptionOfThatProgram) {
  test::TempFolder dir;
  const std::string lib = dir.File("library");
  std::string bytes, error, commit;
  ProgramRevision revision;
  EXPECT_FALSE(LastReceivedRevision(lib, "O1", &bytes, &revision, &error));  // no repository: not made one
  EXPECT_FALSE(std::filesystem::exists(lib));
  {
    ProgramHistory history;
    ASSERT_TRUE(history.Open(lib, &error)) << error;
    EXPECT_FALSE(history.LastReceived("O1", &bytes, &revision, &error));
    EXPECT_TRUE(error.empty());
    ASSERT_TRUE(history.RecordReceived("O1", "mc01", "O1\nX1.\n", "punch", kT0, &commit, &error)) << error;
    ASSERT_TRUE(history.RecordReceived("O2", "mc01", "O2\nX9.\n", "punch", kT0 + 10, &commit, &error)) << error;
    ASSERT_TRUE(history.RecordReceived("O1", "mc02", "O1\nX2.\n", "punch", kT0 + 20, &commit, &error)) << error;
    ASSERT_TRUE(history.RecordSent("O1", "mc01", "O1\nX3.\n", "queue", kT0 + 30, &error)) << error;
  }
  ASSERT_TRUE(LastReceivedRevision(lib, "O1", &bytes, &revision, &error)) << error;
  EXPECT_EQ(bytes, "O1\nX2.\n");
  EXPECT_EQ(revision.commit, commit);
  EXPECT_EQ(revision.machine, "mc02");
  EXPECT_EQ(revision.time, kT0 + 20);
  EXPECT_FALSE(revision.sent);
  EXPECT_FALSE(LastReceivedRevision(lib, "O3", &bytes, &revision, &error));
  EXPECT_EQ(error, "no revision of O3 received in " + lib);
  // A document's name comes from outside: names that are no program of the
  // library find nothing and read nothing beside the repository's programs.
  for (const char* hostile : {"", ".", "..", "../O1", "O1/../O1", "/etc/passwd", "O1\nX", "O1.nc"}) {
    SCOPED_TRACE(hostile);
    error.clear();
    EXPECT_FALSE(LastReceivedRevision(lib, hostile, &bytes, &revision, &error));
    EXPECT_FALSE(error.empty());
  }
  for (const char* fileName : {"", "/", "/in/..", "/in/.hidden", "/in/no-extension"}) {
    SCOPED_TRACE(fileName);
    ReceivedRevisionText found;
    error.clear();
    EXPECT_FALSE(LastReceivedForDocument(lib, "G00 X1.\r\n", fileName, &found, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(ProgramHistory, AnExistingRepositoryKeepsTheUsersCommits) {
  test::TempFolder dir;
  const std::string lib = dir.File("library");
  Git("init -q '" + lib + "'");
  std::ofstream(lib + "/README") << "shop programs\n";
  Git(In(lib) + "add README");
  Git(In(lib) + "-c user.name=Shop -c user.email=shop@example.com commit -q -m 'Our own notes'");
  {
    ProgramHistory history;
    std::string error, commit;
    ASSERT_TRUE(history.Open(lib, &error)) << error;
    ASSERT_TRUE(history.RecordReceived("O5", "mc02", "O5\r\nM30\r\n", "punch", kT0, &commit, &error)) << error;
  }
  EXPECT_EQ(Git(In(lib) + "log --format='%an|%s'"), "mc02|O5 received from mc02\nShop|Our own notes\n");
  EXPECT_EQ(Git(In(lib) + "show HEAD:README"), "shop programs\n");
  EXPECT_EQ(ProgramNameOf("%\r\nO0042 (X)\r\nM30\r\n", "any.nc"), "O0042");
  EXPECT_EQ(ProgramNameOf("G00\r\n", "/in/part7.nc"), "part7");
}

// Two services, one shared bare repository: both push; the second merges the
// first's work in; nothing of either is lost.
TEST(ProgramHistory, TwoServicesPushToOneRemote) {
  test::TempFolder dir;
  const std::string remote = dir.File("shared.git");
  Git("init -q --bare '" + remote + "'");
  ProgramHistory a, b;
  std::string error, commit;
  ASSERT_TRUE(a.Open(dir.File("a"), &error) && b.Open(dir.File("b"), &error)) << error;
  ASSERT_TRUE(a.RecordReceived("O1", "mc-a", "O1\r\nX1.\r\n", "punch", kT0, &commit, &error));
  ASSERT_TRUE(a.RecordSent("O1", "mc-a", "O1\r\nX1.\r\n", "request", kT0 + 1, &error));
  ASSERT_TRUE(b.RecordReceived("O2", "mc-b", "O2\r\nX2.\r\n", "punch", kT0 + 2, &commit, &error));
  ASSERT_TRUE(b.RecordSent("O2", "mc-b", "O2\r\nX2.\r\n", "queue", kT0 + 3, &error));
  ASSERT_TRUE(LibraryPush::PushOnce(dir.File("a"), remote, &error)) << error;
  ASSERT_TRUE(LibraryPush::PushOnce(dir.File("b"), remote, &error)) << error;
  // Both programs in the shared branch, both machines' tags, both notes.
  const std::string branch = Git("--git-dir='" + remote + "' symbolic-ref --short HEAD");
  const std::string head = branch.substr(0, branch.size() - 1);
  EXPECT_EQ(Git("--git-dir='" + remote + "' show " + head + ":O1.nc"), "O1\r\nX1.\r\n");
  EXPECT_EQ(Git("--git-dir='" + remote + "' show " + head + ":O2.nc"), "O2\r\nX2.\r\n");
  EXPECT_EQ(Git("--git-dir='" + remote + "' tag -l 'sent/*'"), "sent/mc-a/O1\nsent/mc-b/O2\n");
  EXPECT_NE(Git("--git-dir='" + remote + "' notes show sent/mc-a/O1").find("sent to mc-a"), std::string::npos);
  EXPECT_NE(Git("--git-dir='" + remote + "' notes show sent/mc-b/O2").find("sent to mc-b"), std::string::npos);
  // The first service takes the second's work in on its next push.
  ASSERT_TRUE(a.RecordReceived("O1", "mc-a", "O1\r\nX9.\r\n", "punch", kT0 + 4, &commit, &error));
  ASSERT_TRUE(LibraryPush::PushOnce(dir.File("a"), remote, &error)) << error;
  EXPECT_EQ(Git("--git-dir='" + remote + "' show " + head + ":O1.nc"), "O1\r\nX9.\r\n");
  EXPECT_EQ(Git("--git-dir='" + remote + "' show " + head + ":O2.nc"), "O2\r\nX2.\r\n");
  // A remote that is not there fails with a reason, and nothing else happens.
  EXPECT_FALSE(LibraryPush::PushOnce(dir.File("a"), dir.File("missing.git"), &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace quelvo
