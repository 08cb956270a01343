// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/dnc/DncConfig.h"

namespace quelvo {
namespace {

TEST(DncConfig, ReadsServiceAndMachinesResolvingRelativePaths) {
  const char* text =
      "# shop floor\n[service]\nstate_dir = /run/q\nretry_seconds = 3\nlibrary = history\n"
      "library_remote = ssh://nc@server/srv/nc.git\n\n"
      "[machine mc01]\nport = /dev/ttyUSB0\nsetting = mc01.ini\nlibrary = /srv/lib\n"
      "inbox = in\r\nspool = spool\nosp = yes\nrequest_missing = err.nc\n"
      "[machine mc02]\nport=/dev/ttyS1\nsetting=/etc/q/b.ini\nlibrary=l\ninbox=i\nspool=s\n"
      "request_rule = ^\\(ASK (.*)\\)$\n";
  DncConfig config;
  std::string error;
  ASSERT_TRUE(ParseDncConfig(text, "/etc/quelvo", &config, &error)) << error;
  EXPECT_EQ(config.stateDir, "/run/q");
  EXPECT_EQ(config.logDir, "/var/log/quelvo-dnc");
  EXPECT_EQ(config.retrySeconds, 3);
  EXPECT_EQ(config.library, "/etc/quelvo/history");
  EXPECT_EQ(config.libraryRemote, "ssh://nc@server/srv/nc.git");  // an address, not a path
  ASSERT_EQ(config.machines.size(), 2u);
  const MachineConfig& a = config.machines[0];
  EXPECT_EQ(a.settingFile, "/etc/quelvo/mc01.ini");
  EXPECT_EQ(a.library, "/srv/lib");
  EXPECT_EQ(a.inbox, "/etc/quelvo/in");
  EXPECT_TRUE(a.osp);
  EXPECT_EQ(a.requestRule, kDefaultRequestRule);
  EXPECT_EQ(a.requestMissing, "/etc/quelvo/err.nc");
  EXPECT_EQ(config.Find("mc02")->requestRule, "^\\(ASK (.*)\\)$");
  EXPECT_FALSE(config.machines[1].osp);
  EXPECT_EQ(config.Find("mc03"), nullptr);
  DncConfig plain;
  ASSERT_TRUE(ParseDncConfig("[machine m]\nport=p\nsetting=s\nlibrary=l\ninbox=i\nspool=s\n", "/e", &plain, &error));
  EXPECT_TRUE(plain.library.empty());  // no history unless asked for
}

// Each of these would leave a machine unserved or a name unsafe: the service
// refuses to start and says where.
TEST(DncConfig, RefusesWhatCannotBeServed) {
  const std::string machine = "[machine m]\nport=/dev/x\nsetting=s\nlibrary=l\ninbox=i\nspool=p\n";
  const struct {
    std::string text;
    std::string reason;
  } cases[] = {
      {"[service]\nstate_dir=/x\n", "no [machine"},
      {"[machine m]\nsetting=s\nlibrary=l\ninbox=i\nspool=p\n", "machine m: port is missing"},
      {machine + machine, "line 7: machine m appears twice"},
      {"[machine ../etc]\n", "line 1: bad machine name"},
      {"[machine .hidden]\n", "bad machine name"},
      {"port=/dev/x\n" + machine, "line 1: unknown key"},
      {machine + "colour=red\n", "line 7: unknown key or bad value: colour"},
      {machine + "osp=maybe\n", "bad value: osp"},
      {machine + "request_rule=(unclosed\n", "no valid expression"},
      {machine + "request_rule=REQ\n", "request_rule has no group"},
      // The expression engine recurses on the rule's length: a long rule is refused, not compiled.
      {machine + "request_rule=(" + std::string(100000, 'A') + ")\n", "request_rule is longer than 512"},
      {machine + "request_rule=" + std::string(5000, '(') + "\n", "request_rule is longer than 512"},
      {"[service]\nretry_seconds=0\n" + machine, "line 2"},
      {"[machines]\n", "unknown section"},
      {machine + "[service\n", "closing ]"},
      {machine + "just words\n", "expected key = value"},
      {machine + "[http]\nlisten=8470\n", "bad value: listen"},
      {machine + "[http]\nlisten=0.0.0.0:0\n", "bad value: listen"},
      {machine + "[http]\nlisten=0.0.0.0:65536\n", "bad value: listen"},
      {machine + "[http]\nlisten=[::1:8470\n", "bad value: listen"},
      {machine + "[http]\nlisten=:8470\n", "bad value: listen"},
      {machine + "[http]\nmax_upload_kb=0\n", "bad value: max_upload_kb"},
      {machine + "[http]\nmax_clients=-3\n", "bad value: max_clients"},
      {machine + "[http]\npublic_read=sometimes\n", "bad value: public_read"},
      {machine + "[http]\ncert_file=c.pem\n", "cert_file and key_file go together"},
  };
  for (const auto& c : cases) {
    DncConfig config;
    std::string error;
    EXPECT_FALSE(ParseDncConfig(c.text, "", &config, &error)) << c.text;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << " gave: " << error;
  }
}

TEST(DncConfig, ReadsTheDashboardSection) {
  const std::string machine = "[machine m]\nport=/dev/x\nsetting=s\nlibrary=l\ninbox=i\nspool=p\n";
  DncConfig config;
  std::string error;
  ASSERT_TRUE(ParseDncConfig(machine, "/etc/quelvo", &config, &error)) << error;
  EXPECT_EQ(config.http.listen, "");  // off unless configured
  EXPECT_FALSE(config.http.publicRead);
  ASSERT_TRUE(ParseDncConfig("[http]\nlisten = [::1]:8470\ntoken_file = dnc.token\npublic_read = yes\n"
                             "max_upload_kb = 2\ncert_file = c.pem\nkey_file = /k.pem\n" + machine,
                             "/etc/quelvo", &config, &error))
      << error;
  EXPECT_EQ(config.http.listen, "[::1]:8470");
  EXPECT_EQ(config.http.tokenFile, "/etc/quelvo/dnc.token");
  EXPECT_TRUE(config.http.publicRead);
  EXPECT_EQ(config.http.maxUploadBytes, 2048);
  EXPECT_EQ(config.http.certFile, "/etc/quelvo/c.pem");
  EXPECT_EQ(config.http.keyFile, "/k.pem");
  std::string host;
  int port = 0;
  EXPECT_TRUE(ParseListenAddress("[::1]:8470", &host, &port));
  EXPECT_EQ(host, "::1");
  EXPECT_EQ(port, 8470);
  EXPECT_TRUE(ParseListenAddress("192.168.1.5:80", &host, &port));
  EXPECT_EQ(host, "192.168.1.5");
}

}  // namespace
}  // namespace quelvo
