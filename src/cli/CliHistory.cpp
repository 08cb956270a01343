// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli history PROGRAM: the revisions of a program in the shop
// service's library (received from and sent to the machines), and
// quelvo-cli compare --revision PROGRAM@MACHINE FILE: the revision last sent
// to MACHINE against FILE.
#include <ostream>

#include "cli/CliCompare.h"
#include "cli/CliExit.h"
#include "cli/CliUsage.h"
#include "core/common/DateTimeText.h"
#include "core/common/JsonText.h"
#include "core/compare/CompareReport.h"
#include "core/dnc/DncConfig.h"
#include "core/dnc/ProgramHistory.h"
#include "core/document/DocumentFile.h"

namespace quelvo::cli {

namespace {

const CliCommand& Command(const char* name) {
  for (const CliCommand& c : CliCommands())
    if (std::string(c.name) == name) return c;
  return CliCommands().front();
}

// The library named by the service's configuration, opened; false with the reason said.
bool OpenLibrary(const ParsedArgs& args, const char* command, ProgramHistory& history, CliIo& io) {
  const std::string path = args.Has("config") ? args.Value("config") : kDefaultDncConfigPath;
  DncConfig config;
  std::string error;
  if (!LoadDncConfig(path, &config, &error)) {
    io.err << "quelvo-cli " << command << ": " << error << '\n';
    return false;
  }
  if (config.library.empty()) {
    io.err << "quelvo-cli " << command << ": " << path << " に [service] library がありません\n";
    return false;
  }
  if (!history.OpenExisting(config.library, &error)) {
    io.err << "quelvo-cli " << command << ": " << error << '\n';
    return false;
  }
  return true;
}

}  // namespace

int RunHistory(const std::vector<std::string>& words, CliIo& io) {
  const ParsedArgs args = ParseArgs(words, {{"config", true}, {"json", false}});
  int status = 0;
  if (HandleHelpAndUsage(args, Command("history"), 1, io, &status)) return status;
  ProgramHistory history;
  if (!OpenLibrary(args, "history", history, io)) return kCliUsage;
  std::vector<ProgramRevision> revisions;
  std::string error;
  if (!history.History(args.positional[0], &revisions, &error)) {
    io.err << "quelvo-cli history: " << error << '\n';
    return kCliUsage;
  }
  if (args.Has("json")) {
    io.out << '[';
    for (std::size_t i = 0; i < revisions.size(); ++i) {
      const ProgramRevision& r = revisions[i];
      io.out << (i ? ",\n " : "\n ") << "{\"time\":" << JsonString(ShortDateTimeText(r.time))
             << ",\"machine\":" << JsonString(r.machine) << ",\"direction\":\"" << (r.sent ? "sent" : "received")
             << "\",\"kind\":" << JsonString(r.kind) << ",\"bytes\":" << r.bytes << ",\"commit\":\"" << r.commit
             << "\"}";
    }
    io.out << (revisions.empty() ? "]\n" : "\n]\n");
  } else {
    for (const ProgramRevision& r : revisions) {
      io.out << ShortDateTimeText(r.time) << "  " << r.machine << "  " << (r.sent ? "送信" : "受信") << "  "
             << (r.kind.empty() ? "-" : r.kind) << "  " << r.bytes << " バイト  " << r.commit.substr(0, 12) << '\n';
    }
  }
  return revisions.empty() ? kCliStopped : kCliDone;
}

int RunCompareRevision(const ParsedArgs& args, CliIo& io) {
  const std::string revision = args.Value("revision");
  const std::size_t at = revision.find('@');
  int status = 0;
  if (HandleHelpAndUsage(args, Command("compare"), 1, io, &status)) return status;
  if (at == std::string::npos || at == 0 || at + 1 == revision.size()) {
    io.err << "quelvo-cli compare: --revision はプログラム@機械 の形で指定します (O1234@mc01)\n";
    return 2;
  }
  const std::string program = revision.substr(0, at), machine = revision.substr(at + 1);
  ProgramHistory history;
  if (!OpenLibrary(args, "compare", history, io)) return 2;
  std::string sent, error, text;
  if (!history.LastSent(program, machine, &sent, &error)) {
    io.err << "quelvo-cli compare: " << (error.empty() ? program + " は " + machine + " に送信されていません" : error)
           << '\n';
    return 2;
  }
  if (!ReadProgramFile(args.positional[0], text, error)) {
    io.err << "quelvo-cli compare: " << args.positional[0] << ": " << error << '\n';
    return 2;
  }
  return CompareTexts(revision, DocumentTextFromBytes(sent), args.positional[0], text, args, io);
}

}  // namespace quelvo::cli
