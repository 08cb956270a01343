// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli check: the pre-send check, compiler-style on stdout.
#include <ostream>

#include "cli/CliExit.h"
#include "cli/CliSession.h"
#include "cli/CliUsage.h"
#include "cli/ProgramCheck.h"
#include "cli/ProgressView.h"
#include "core/common/AtomicFile.h"
#include "core/document/FileTexts.h"

namespace quelvo::cli {

int RunCheck(const std::vector<std::string>& args, CliIo& io) {
  const CliCommand& command = CliCommands()[2];
  const ParsedArgs parsed = ParseArgs(args, {{"setting", true}});
  int status = kCliUsage;
  if (HandleHelpAndUsage(parsed, command, 1, io, &status)) return status;
  CliSession session;
  std::string error, notice;
  bool usageError = false;
  if (!LoadSession(parsed, &session, &error, &notice, &usageError)) {
    io.err << "quelvo-cli: " << error << '\n';
    return usageError ? kCliUsage : kCliFileFailed;
  }
  if (!notice.empty()) io.err << "quelvo-cli: " << notice << '\n';

  const std::string& file = parsed.positional[0];
  std::string bytes, reason;
  if (!ReadWholeFile(file, &bytes, &reason)) {
    io.err << "quelvo-cli: " << file << kCannotRead << reason << '\n';
    return kCliFileFailed;
  }
  const CheckReport report = CheckProgram(bytes, session.comm, session.settings.options.cutComments);
  for (const Finding& finding : report.findings) io.out << FindingText(file, finding) << '\n';
  io.out << file << ": プログラム " << report.programs.size() << " 本, " << report.wireChars << " 文字";
  if (report.baudRate > 0) {
    io.out << ", 送信時間の目安 " << DurationText(report.seconds) << " (" << report.baudRate << " bps)";
  }
  io.out << '\n';
  return report.Changes() ? kCliStopped : kCliDone;
}

}  // namespace quelvo::cli
