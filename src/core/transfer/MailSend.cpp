// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/MailSend.h"

#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <pthread.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace quelvo {
namespace {

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::string& in) {
  std::string out;
  out.reserve((in.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < in.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(in[i]) << 16) |
                       (static_cast<unsigned char>(in[i + 1]) << 8) |
                       static_cast<unsigned char>(in[i + 2]);
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += kBase64[v & 63];
  }
  if (i < in.size()) {
    unsigned v = static_cast<unsigned char>(in[i]) << 16;
    if (i + 1 < in.size()) v |= static_cast<unsigned char>(in[i + 1]) << 8;
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += i + 1 < in.size() ? kBase64[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool PlainHeaderText(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c >= 0x7F) return false;
  }
  return true;
}

// An encoded word per at most 45 bytes of text, never splitting a UTF-8 character.
std::string EncodeHeaderText(const std::string& text) {
  if (PlainHeaderText(text)) return text;
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = std::min(text.size(), start + 45);
    while (end < text.size() && end > start + 1 &&
           (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
      --end;
    }
    if (!out.empty()) out += "\n ";
    out += "=?UTF-8?B?" + Base64(text.substr(start, end - start)) + "?=";
    start = end;
  }
  return out;
}

std::string RfcDate(std::time_t date) {
  std::tm local{};
  localtime_r(&date, &local);
  static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char zone[8];
  std::strftime(zone, sizeof zone, "%z", &local);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d %s", kDays[local.tm_wday],
                local.tm_mday, kMonths[local.tm_mon], local.tm_year + 1900, local.tm_hour,
                local.tm_min, local.tm_sec, zone);
  return buffer;
}

std::string SenderAddress() {
  std::string user = "quelvo";
  if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_name != nullptr) {
    user = pw->pw_name;
  }
  char host[256] = "localhost";
  if (gethostname(host, sizeof host - 1) != 0) std::strcpy(host, "localhost");
  host[sizeof host - 1] = '\0';
  return user + "@" + host;
}

bool SafeAddress(const std::string& address) {
  if (address.find('@') == std::string::npos) return false;
  for (unsigned char c : address) {
    if (c <= 0x20 || c == 0x7F || c == '<' || c == '>' || c == ',') return false;
  }
  return true;
}

// Runs `command` through /bin/sh with `input` on its standard input and waits
// for it. A command that does not read its input must not kill us with SIGPIPE:
// the signal is blocked for this thread while writing and a pending one is
// taken away afterwards.
void PipeToCommand(const std::string& command, const std::string& input) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return;
  }
  if (pid == 0) {
    dup2(fds[0], STDIN_FILENO);
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[0]);
  sigset_t pipeSet;
  sigset_t old;
  sigemptyset(&pipeSet);
  sigaddset(&pipeSet, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSet, &old);
  size_t done = 0;
  while (done < input.size()) {
    const ssize_t n = write(fds[1], input.data() + done, input.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    done += static_cast<size_t>(n);
  }
  close(fds[1]);
  const timespec zero{0, 0};
  while (sigtimedwait(&pipeSet, nullptr, &zero) == SIGPIPE) {
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

std::string MailCommand() {
  if (const char* custom = std::getenv("QUELVO_SENDMAIL"); custom != nullptr && *custom != '\0') {
    return custom;
  }
  if (access("/usr/sbin/sendmail", X_OK) == 0) return "/usr/sbin/sendmail -t -i";
  return "sendmail -t -i";
}

}  // namespace

std::string BuildMailMessage(const std::string& address, const std::string& subject,
                             const std::string& body, const std::string& sender,
                             std::time_t date) {
  std::string m;
  m += "From: " + EncodeHeaderText("testです") + " <" + sender + ">\n";
  m += "To: " + address + "\n";
  m += "Subject: " + EncodeHeaderText(subject) + "\n";
  m += "Date: " + RfcDate(date) + "\n";
  m += "Disposition-Notification-To: <" + sender + ">\n";
  m += "MIME-Version: 1.0\n";
  m += "Content-Type: text/plain; charset=UTF-8\n";
  m += "Content-Transfer-Encoding: base64\n";
  m += "\n";
  const std::string encoded = Base64(body);
  for (size_t i = 0; i < encoded.size(); i += 76) m += encoded.substr(i, 76) + "\n";
  return m;
}

int MailSend(const std::string& address, const std::string& subject, const std::string& body) {
  if (!SafeAddress(address)) return 1;
  PipeToCommand(MailCommand(), BuildMailMessage(address, subject, body, SenderAddress(),
                                                std::time(nullptr)));
  return 1;
}

}  // namespace quelvo
