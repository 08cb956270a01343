// SPDX-License-Identifier: GPL-3.0-or-later
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
//
//   [http]                             the dashboard; off without `listen`
//   listen = 127.0.0.1:8470            ADDR:PORT (IPv4, or [IPv6]:PORT)
//   token_file = /etc/quelvo/dnc.token a line whose text every change must carry
//   public_read = no                   "yes": anyone who reaches it may read
//   max_upload_kb = 16384              the largest program an upload may bring
//   max_clients = 64                   connections at once (the rest are refused)
//   timeout_seconds = 30               an idle or stalled connection is closed
//   cert_file / key_file               PEM files; both set: HTTPS only
//   web_dir = /usr/share/quelvo/web    the page's files (default: the installed ones)
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

struct HttpConfig {
  std::string listen;  // "ADDR:PORT"; empty: no HTTP
  std::string tokenFile;
  bool publicRead = false;
  long maxUploadBytes = 16L * 1024 * 1024;
  int maxClients = 64;
  int timeoutSeconds = 30;
  std::string certFile;
  std::string keyFile;
  std::string webDir;  // empty: the folder the package installs
};

// Splits "127.0.0.1:8470" or "[::1]:8470" into host and port; false for
// anything else (a port outside 1..65535 included).
bool ParseListenAddress(const std::string& text, std::string* host, int* port);

struct DncConfig {
  std::string stateDir = "/run/quelvo-dnc";
  std::string logDir = "/var/log/quelvo-dnc";
  int retrySeconds = 5;
  std::string library;        // the history repository; empty: no history
  std::string libraryRemote;  // pushed to after each commit; empty: not pushed
  std::vector<MachineConfig> machines;
  HttpConfig http;

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
