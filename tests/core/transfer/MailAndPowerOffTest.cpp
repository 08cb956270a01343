// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "core/transfer/MailSend.h"
#include "core/transfer/PowerOff.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

std::string HeaderValue(const std::string& message, const std::string& name) {
  const size_t at = message.find("\n" + name + ": ");
  if (at == std::string::npos) return "";
  const size_t start = at + name.size() + 3;
  return message.substr(start, message.find('\n', start) - start);
}

TEST(MailSend, HandsAWholeMessageToTheMailCommand) {
  test::TempFolder folder;
  const std::string captured = folder.File("mail.txt");
  ScopedEnv mailer("QUELVO_SENDMAIL", "cat > '" + captured + "';");

  EXPECT_EQ(MailSend("nc@example.org", "送信結果", "開始 2026/12/07 09:30:00\n終了 2026/12/07 09:35:00\n送信無事完了しました。"), 1);
  const std::string m = "\n" + ReadText(captured);
  EXPECT_EQ(HeaderValue(m, "To"), "nc@example.org");
  // "送信結果" and the display name "testです" as UTF-8 encoded words.
  EXPECT_EQ(HeaderValue(m, "Subject"), "=?UTF-8?B?6YCB5L+h57WQ5p6c?=");
  EXPECT_EQ(HeaderValue(m, "From").rfind("=?UTF-8?B?dGVzdOOBp+OBmQ==?= <", 0), 0u);
  EXPECT_NE(HeaderValue(m, "Disposition-Notification-To"), "");
  EXPECT_EQ(HeaderValue(m, "Content-Type"), "text/plain; charset=UTF-8");
  EXPECT_NE(HeaderValue(m, "Date"), "");
  const size_t bodyAt = m.find("\n\n");
  ASSERT_NE(bodyAt, std::string::npos);
  // The body base64: decode by comparing with the encoding of the known text's start.
  EXPECT_EQ(m.substr(bodyAt + 2, 8), "6ZaL5aeL");  // "開始"
}

TEST(MailSend, RefusesAddressesThatCouldAddHeadersAndStaysSilentOnFailure) {
  test::TempFolder folder;
  const std::string captured = folder.File("mail.txt");
  {
    ScopedEnv mailer("QUELVO_SENDMAIL", "cat > '" + captured + "'");
    EXPECT_EQ(MailSend("a@b.org\nBcc: x@y.org", "s", "b"), 1);
    EXPECT_EQ(MailSend("no-at-sign", "s", "b"), 1);
    EXPECT_FALSE(std::ifstream(captured).good());
  }
  {
    // A command that reads nothing and fails must not disturb the program.
    ScopedEnv mailer("QUELVO_SENDMAIL", "exit 3");
    EXPECT_EQ(MailSend("a@b.org", "s", std::string(200000, 'x')), 1);
  }
}

TEST(MailSend, LongSubjectsAreSplitIntoWholeCharacters) {
  const std::string subject(60, 'a');
  const std::string japanese = "送信が完了しました送信が完了しました送信が完了しました";
  const std::string m = BuildMailMessage("a@b.org", japanese, "x", "me@host", 0);
  const size_t at = m.find("Subject: ");
  const std::string header = m.substr(at, m.find("\nDate:") - at);
  EXPECT_NE(header.find("?=\n =?UTF-8?B?"), std::string::npos) << header;
  EXPECT_EQ(BuildMailMessage("a@b.org", subject, "x", "me@host", 0).find("Subject: " + subject + "\n") !=
                std::string::npos,
            true);
}

TEST(PowerOff, RunsOnlyTheConfiguredCommand) {
  test::TempFolder folder;
  const std::string marker = folder.File("off");
  {
    ScopedEnv command("QUELVO_POWEROFF", "touch '" + marker + "'");
    bool systemCalled = false;
    EXPECT_TRUE(PowerOff([&] { return systemCalled = true; }));
    EXPECT_FALSE(systemCalled);
    EXPECT_TRUE(std::ifstream(marker).good());
  }
  {
    ScopedEnv command("QUELVO_POWEROFF", "exit 1");
    EXPECT_FALSE(PowerOff(nullptr));
  }
}

}  // namespace
}  // namespace quelvo
