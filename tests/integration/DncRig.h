// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shop service end to end: a folder with one sub-folder per machine (its
// library, inbox, spool, communication setting and the link of its simulated
// control), a configuration file for them, ncsim in --cycle mode per machine
// and the built quelvo-dnc program. Used by the service's integration tests
// and its benchmark.
#include <sys/types.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"
#include "support/TempFolder.h"

namespace quelvo::ncsim::test {
class NcsimProcess;
}

namespace quelvo::test {

struct RigMachine {
  std::string name;
  std::string code = "iso";          // of the control (iso, eia, ascii); the setting receives
                                     // with automatic recognition
  int speedIndex = 2;                // Speed_R and Speed_S (4800 .. 19200)
  int baud = 9600;                   // the line speed the control emulates
  std::vector<std::string> punches;  // program texts the control punches, in turn
  std::map<std::string, std::string> library;  // name -> text
  std::map<std::string, std::string> spool;    // queued before the service starts
  bool osp = false;
  std::string requestMissing;  // text of the program answering a missing request
  long dropAfter = -1;         // the control hangs up after this many bytes of a transfer
  double punchAfter = 0.5;
  std::string punchCode;  // the control punches in this code; "" as `code`
  bool reportLine = false;  // the control reports every line setting it is given
  std::function<void(CommSetting&)> adjust;  // changes to the machine's setting
  std::string inbox;  // the inbox folder, relative to the rig's folder; "" for NAME/inbox
};

class DncRig {
 public:
  DncRig();
  ~DncRig();

  // Sets up the machine's folders and files; its control starts with StartControls.
  void AddMachine(const RigMachine& machine);
  // Starts every control; false when one did not publish its line.
  // together: all in one ncsim process (--lines), each reporting to
  // NAME/control.log; Control() is then not available.
  bool StartControls(bool together = false);
  // Starts one machine's control (a machine can so be offline at first);
  // with `wait`, false when it did not publish its line.
  bool StartControl(const std::string& machine, bool wait = true);
  // Text added at the end of the configuration (before StartService).
  void AddConfigText(const std::string& text) { extraConfig_ += text; }
  // Writes the configuration (once) and starts the service.
  void StartService();
  // Sends `signal` to the service and waits for it to end; its exit status
  // (or -1 after a kill or a time-out).
  int StopService(int signal);

  std::string Folder(const std::string& machine) const { return root_.File(machine); }
  std::string ConfigPath() const { return root_.File("dnc.conf"); }
  std::string Journal() const;
  // Runs quelvo-dnc with `args` to its end (killed after `timeoutMs`): its
  // exit status (-1 after a kill or a signal), its stdout and stderr in *output.
  static int RunDnc(const std::vector<std::string>& args, std::string* output, int timeoutMs = 60000);
  ncsim::test::NcsimProcess& Control(const std::string& machine) { return *controls_.at(machine); }
  const CommSetting& Setting(const std::string& machine) const { return settings_.at(machine); }
  pid_t ServicePid() const { return service_; }
  // Further lines of the [service] section (before StartService).
  std::string serviceKeys;

  // The file the receive engine makes of `program` punched in `code` with
  // `setting`, run as the window runs it (the engine on a port fed the
  // control's tape).
  static std::string WindowReception(const std::string& program, const std::string& code,
                                     const CommSetting& setting, bool osp);
  // What the control stores of `program` sent with `setting` in `code`, from
  // its first "%" to the next, as the window's send writes it.
  static std::string WindowSendText(const std::string& program, const CommSetting& setting,
                                    const std::string& code);

 private:
  TempFolder root_;
  std::vector<RigMachine> machines_;
  std::map<std::string, CommSetting> settings_;
  std::map<std::string, std::unique_ptr<ncsim::test::NcsimProcess>> controls_;
  std::unique_ptr<ncsim::test::NcsimProcess> bank_;  // every control, with StartControls(true)
  std::vector<std::string> ControlArgs(const RigMachine& m) const;
  pid_t service_ = -1;
  std::string extraConfig_;
};

// Reads a whole file; "" when it is missing.
std::string FileText(const std::string& path);
// `text` with every LF made CR LF, as a program file on disk has it.
inline std::string Crlf(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}
// Names in a folder (no "." or ".."), sorted.
std::vector<std::string> FolderNames(const std::string& folder);
// Polls `condition` every 100 ms until it holds or `timeoutMs` passed.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

}  // namespace quelvo::test
