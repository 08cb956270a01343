// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli compare as a script sees it: the built program run as a child
// process on files in CP932 with CR LF and in plain LF, its output and exit status.
#include <gtest/gtest.h>

#include "CliProcess.h"
#include "support/TempFolder.h"

namespace quelvo::cli::test {
namespace {

struct Outcome {
  int status;
  std::string out, err;
};

class CliCompare : public ::testing::Test {
 protected:
  std::string File(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.File(name);
    WriteFile(path, bytes);
    return path;
  }
  Outcome Compare(std::vector<std::string> args) {
    args.insert(args.begin(), "compare");
    const std::string base = dir_.File("run");
    ChildProcess child(QUELVO_CLI_PATH, args, {{"QUELVO_HOME", dir_.Path()}}, base);
    const int status = child.WaitExit(60000);
    return {status, ReadFile(base + ".out"), ReadFile(base + ".err")};
  }
  quelvo::test::TempFolder dir_;
};

// "(工具 1)" in Shift-JIS: the comment a Japanese CAM writes.
const char kOld[] = "%\r\nO1234 (\x8d\x48\x8b\xef 1)\r\nN10 G90 G00 X10. Y10.\r\nN20 G01 X20. F200\r\nM30\r\n%\r\n";
const char kNew[] = "%\nO1234 (\x8d\x48\x8b\xef 1)\nN10 G90 G00 X10. Y10.\nN20 G01 X25. F200\nN25 M08\nM30\n%\n";

TEST_F(CliCompare, ListsTheDifferingBlocksWithTheirFilesAndLines) {
  const std::string a = File("old.nc", kOld), b = File("new.nc", kNew);
  const Outcome r = Compare({a, b});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "--- " + a + "\n+++ " + b + "\n@@ " + a + ":4,1 " + b + ":4,2 @@\n-" + a +
                       ":4: N20 G01 X20. F200\n+" + b + ":4: N20 G01 X25. F200\n+" + b +
                       ":5: N25 M08\n変更 1 ブロック、追加 1、削除 0\n");
}

TEST_F(CliCompare, CrLfAgainstLfIsTheSame) {
  std::string lf = kOld;
  for (std::size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
  const Outcome r = Compare({File("old.nc", kOld), File("lf.nc", lf)});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "変更 0 ブロック、追加 0、削除 0\n");
}

TEST_F(CliCompare, OptionsReachTheCompare) {
  const std::string a = File("a.nc", "N10 X10. (A)\nN20 Y.5\n");
  const std::string b = File("b.nc", "N100 X10.000 (B)\nN110 Y0.5\n");
  EXPECT_EQ(Compare({a, b}).status, 1);
  EXPECT_EQ(Compare({a, b, "--ignore-n", "--by-value"}).status, 1);
  EXPECT_EQ(Compare({"--ignore-n", "--by-value", "--ignore-comments", a, b}).status, 0);
  const std::string c = File("c.nc", "X10\n"), d = File("d.nc", "X0.01\n");
  EXPECT_EQ(Compare({c, d, "--by-value"}).status, 1);
  EXPECT_EQ(Compare({c, d, "--least-increment"}).status, 0);
}

TEST_F(CliCompare, JsonNamesEachBlockAndItsChangedWords) {
  const Outcome r = Compare({File("a.nc", "G01 X1. Y2.\n"), File("b.nc", "G01 X1. Y3.\nM30\n"), "--json"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("\"same\":false,\"changed\":1,\"added\":1,\"removed\":0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("{\"kind\":\"changed\",\"a\":{\"line\":1,\"text\":\"G01 X1. Y2.\",\"words\":[[8,11]]},"
                       "\"b\":{\"line\":1,\"text\":\"G01 X1. Y3.\",\"words\":[[8,11]]}}"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("{\"kind\":\"added\",\"b\":{\"line\":2,\"text\":\"M30\"}}"), std::string::npos) << r.out;
}

TEST_F(CliCompare, TroubleIsStatusTwo) {
  const std::string a = File("a.nc", "O1\n");
  const Outcome missing = Compare({a, dir_.File("missing.nc")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("missing.nc"), std::string::npos);
  EXPECT_EQ(Compare({a}).status, 2);
  EXPECT_EQ(Compare({a, a, "--no-such-option"}).status, 2);
}

}  // namespace
}  // namespace quelvo::cli::test
