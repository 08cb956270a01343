// SPDX-License-Identifier: GPL-3.0-or-later
// The toolpath interpreter on any text: the path's arrays stay consistent
// (one entry each per move, line numbers rising within the text, arcs and feed
// changes pointing at moves in order), the summary and the listing can be made,
// no line yields an unbounded number of moves, and no problem or hint carries
// a control byte of the text.
#include <sstream>
#include <string_view>

#include "FuzzCheck.h"
#include "core/toolpath/NcInterpreter.h"
#include "core/toolpath/PathSummary.h"
#include "core/toolpath/ToolpathCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t lines = 1;
  for (char c : text) lines += c == '\n';
  for (int variant = 0; variant < 2; ++variant) {
    quelvo::InterpretOptions options;
    options.lathe = variant == 1;
    options.wholeUnits = variant == 1;
    const quelvo::ToolPath path = quelvo::Interpret(text, 1, options);
    const size_t n = path.size();
    quelvo::fuzz::Check(path.x.size() == n && path.y.size() == n && path.z.size() == n && path.line.size() == n,
                        "one entry per move in each array");
    quelvo::fuzz::Check(n <= lines * 5 * 10000, "a bounded number of moves per line");
    for (size_t i = 0; i < n; ++i)
      quelvo::fuzz::Check(path.line[i] >= 1 && static_cast<size_t>(path.line[i]) <= lines &&
                              (i == 0 || path.line[i] >= path.line[i - 1]),
                          "line numbers rise within the text");
    for (size_t a = 0; a < path.arcs.size(); ++a)
      quelvo::fuzz::Check(path.arcs[a].move < n && path.IsArc(path.arcs[a].move) &&
                              (a == 0 || path.arcs[a].move > path.arcs[a - 1].move),
                          "arcs point at arc moves, in order");
    for (size_t f = 0; f < path.feeds.size(); ++f)
      quelvo::fuzz::Check(path.feeds[f].move < n && (f == 0 || path.feeds[f].move > path.feeds[f - 1].move),
                          "feed changes point at moves, in order");
    for (const auto* notes : {&path.problems, &path.hints})
      for (const quelvo::PathNote& note : *notes)
        for (char c : note.text)
          quelvo::fuzz::Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "no control byte in a problem's text");
    quelvo::Summarize(path);
    std::ostringstream listing;
    quelvo::WriteToolpathListing(path, listing);
  }
  return 0;
}
