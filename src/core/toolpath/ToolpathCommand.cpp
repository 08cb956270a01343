// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/toolpath/ToolpathCommand.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "core/common/Cp932.h"
#include "core/common/RegularFile.h"
#include "core/toolpath/NcInterpreter.h"
#include "core/toolpath/ProgramSpans.h"

namespace quelvo {

namespace {

const char* KindName(MoveKind kind) {
  switch (kind) {
    case MoveKind::Rapid: return "rapid";
    case MoveKind::Feed: return "feed";
    case MoveKind::ArcCw: return "cw";
    case MoveKind::ArcCcw: return "ccw";
    case MoveKind::Drill: return "drill";
    case MoveKind::Home: return "home";
    case MoveKind::Machine: return "machine";
  }
  return "?";
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  const int fd = OpenRegularFile(path, &error);
  if (fd < 0) return false;
  char buffer[1 << 16];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<size_t>(n));
  ::close(fd);
  if (n < 0) error = "読み込めません";
  return n == 0;
}

int Usage(std::ostream& err) {
  err << "使い方: toolpath [--whole-units] [--lathe] [--skip-deleted] [--line N] FILE\n";
  return 2;
}

}  // namespace

void WriteToolpathListing(const ToolPath& path, std::ostream& out) {
  // Coordinates of 18-digit words run to some 25 characters; a line that
  // would still not fit is cut rather than read past the buffer.
  char buf[512];
  const int room = static_cast<int>(sizeof buf) - 1;
  size_t arc = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    int n = std::snprintf(buf, sizeof buf, "%d %s %.4f %.4f %.4f", path.line[i], KindName(path.kind[i]), path.x[i],
                          path.y[i], path.z[i]);
    n = std::min(n, room);
    if (arc < path.arcs.size() && path.arcs[arc].move == i) {
      const ArcCentre& c = path.arcs[arc++];
      n += std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n), " %.4f %.4f %.4f", c.x, c.y, c.z);
      n = std::min(n, room);
    }
    out.write(buf, n);
    out.put('\n');
  }
  for (const PathNote& p : path.problems) out << "problem " << p.line << ' ' << p.text << '\n';
  for (const PathNote& h : path.hints) out << "hint " << h.line << ' ' << h.text << '\n';
  if (path.problemsLeftOff > 0) out << "problems-left-off " << path.problemsLeftOff << '\n';
}

int RunToolpathCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  InterpretOptions options;
  std::string file;
  long onlyLine = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--whole-units") options.wholeUnits = true;
    else if (a == "--lathe") options.lathe = true;
    else if (a == "--skip-deleted") options.skipDeletedBlocks = true;
    else if (a == "--line" && i + 1 < args.size()) {
      char* end = nullptr;
      onlyLine = std::strtol(args[++i].c_str(), &end, 10);
      if (*end != '\0' || onlyLine < 1) return Usage(err);
    } else if (!a.empty() && a[0] == '-') return Usage(err);
    else if (file.empty()) file = a;
    else return Usage(err);
  }
  if (file.empty()) return Usage(err);
  std::string bytes, error;
  if (!ReadWholeFile(file, bytes, error)) {
    err << file << ": " << error << '\n';
    return 2;
  }
  const std::string text = Cp932ToUtf8(bytes);
  bytes.clear();
  bytes.shrink_to_fit();
  const std::vector<ProgramSpan> spans = FindPrograms(text);
  size_t first = 0, last = spans.size();
  if (onlyLine > 0) {
    first = ProgramAt(spans, static_cast<int32_t>(onlyLine));
    last = first + 1;
  }
  bool problems = false;
  for (size_t s = first; s < last; ++s) {
    const ProgramSpan& span = spans[s];
    out << "program " << span.firstLine << ' ' << span.lastLine << '\n';
    const ToolPath path =
        Interpret(std::string_view(text).substr(span.begin, span.end - span.begin), span.firstLine, options);
    WriteToolpathListing(path, out);
    problems = problems || !path.problems.empty();
  }
  out.flush();
  return problems ? 1 : 0;
}

}  // namespace quelvo
