// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's ser2net in the foreground, serving one serial device (the
// pseudo-terminal the simulated control publishes) on the loopback interface:
// a raw TCP accepter and a telnet accepter with the COM port option, each on a
// free port, with a configuration file of its own.
#include <sys/types.h>

#include <string>

namespace quelvo::test {

class Ser2netProcess {
 public:
  // The ser2net program, or "" when the system has none.
  static std::string Program();

  // Writes the configuration into `folder` and starts ser2net on `device`.
  // Ready() tells whether both accepters took connections in time.
  Ser2netProcess(const std::string& folder, const std::string& device);
  ~Ser2netProcess();
  Ser2netProcess(const Ser2netProcess&) = delete;
  Ser2netProcess& operator=(const Ser2netProcess&) = delete;

  bool Ready() const { return ready_; }
  std::string RawPortText() const { return "tcp://127.0.0.1:" + std::to_string(rawPort_); }
  std::string TelnetPortText() const { return "rfc2217://127.0.0.1:" + std::to_string(telnetPort_); }
  // Ends ser2net at once (SIGKILL), as a device server that loses power.
  void Kill();

 private:
  pid_t pid_ = -1;
  int rawPort_ = 0;
  int telnetPort_ = 0;
  bool ready_ = false;
};

// A loopback TCP port nobody listens on now.
int FreeLoopbackPort();

}  // namespace quelvo::test
