#pragma once
// The shop service's configuration file (/etc/quelvo/dnc.conf): a section
// [service] for the whole process and one section [machine NAME] per machine.
// Lines are "key = value"; "#" and ";" start comment lines. Relative paths are
// taken from the configuration file's folder.
//
//   [service]
//   state_dir = /run/quelvo-dnc        where each worker publishes its state
//   log_dir = /var/log/quelvo-dnc      one communication log per transfer
//   retry_seconds = 5                  wait before a lost port is tried again
//   library = /srv/nc/history          a git repository of every program received
//                                      and sent (ProgramHistory.h); unset: none kept
//   library_remote = /srv/share/nc.git a repository the library is pushed to after
//                                      each commit (a folder or an ssh address)
//
//   [machine mc01]
//   port = /dev/serial/by-id/usb-...   the line to the control
//   setting = mc01.ini                 a communication setting (SetDataN.ini format)
//   library = /srv/nc/mc01/library     programs the control may request
//   inbox = /srv/nc/mc01/inbox         programs the control punches
//   spool = /srv/nc/mc01/spool         programs queued for the control
//   osp = no                           "yes": the control names its files ("$" lines)
//   request_rule = \( *REQ +([^) ]+) *\)  a line matching it makes a program a request;
//                                      its first group is the requested name
//   request_missing = missing.nc       sent when a requested program is not there
//                                      (empty: nothing is sent)
#include <string>
#include <string_view>
#include <vector>

namespace quelvo {

inline constexpr const char* kDefaultDncConfigPath = "/etc/quelvo/dnc.conf";
inline constexpr const char* kDefaultRequestRule = R"(\( *REQ +([^) ]+) *\))";

struct MachineConfig {
  std::string name;
  std::string port;
  std::string settingFile;
  std::string library;
  std::string inbox;
  std::string spool;
  bool osp = false;
  std::string requestRule = kDefaultRequestRule;
  std::string requestMissing;  // a file to send for a missing program; empty: nothing
};

struct DncConfig {
  std::string stateDir = "/run/quelvo-dnc";
  std::string logDir = "/var/log/quelvo-dnc";
  int retrySeconds = 5;
  std::string library;        // the history repository; empty: no history
  std::string libraryRemote;  // pushed to after each commit; empty: not pushed
  std::vector<MachineConfig> machines;

  const MachineConfig* Find(const std::string& name) const;
};

// Parses the text of a configuration file; `baseFolder` resolves relative
// paths. False with "line N: reason" (or the machine at fault) in *error.
bool ParseDncConfig(std::string_view text, const std::string& baseFolder, DncConfig* config,
                    std::string* error);
// Reads and parses the file at `path`.
bool LoadDncConfig(const std::string& path, DncConfig* config, std::string* error);

// A machine name usable as a file name stem: letters, digits, "-", "_", ".",
// not starting with ".".
bool IsMachineName(const std::string& name);

}  // namespace quelvo
