// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/compare/CompareReport.h"

#include <ostream>

#include "core/common/JsonText.h"
#include "core/compare/ChangedWords.h"
#include "core/document/DocumentFile.h"

namespace quelvo {

namespace {

// A stretch of runs that are not Same, [first, end) in result.runs.
template <typename Fn>
void ForEachHunk(const CompareResult& result, Fn&& fn) {
  std::size_t r = 0;
  while (r < result.runs.size()) {
    if (result.runs[r].kind == CompareKind::Same) {
      ++r;
      continue;
    }
    std::size_t end = r;
    while (end < result.runs.size() && result.runs[end].kind != CompareKind::Same) ++end;
    fn(r, end);
    r = end;
  }
}

// The line (1-based) of block `block`, or where it would stand: one past the
// last block's line when the block is past the end.
std::size_t LineOf(const std::vector<std::uint32_t>& blockLines, std::size_t block, std::size_t lineCount) {
  if (block < blockLines.size()) return blockLines[block] + 1;
  return blockLines.empty() ? lineCount + 1 : blockLines.back() + 2;
}

void WriteBlock(std::ostream& out, char sign, const ComparedProgram& p, std::uint32_t line) {
  out << sign << p.name << ':' << line + 1 << ": " << p.lines[line] << '\n';
}

void WriteJsonSide(std::ostream& out, const char* name, const ComparedProgram& p, std::uint32_t line,
                   const std::vector<ByteRange>* words) {
  out << '"' << name << "\":{\"line\":" << line + 1 << ",\"text\":" << JsonString(std::string(p.lines[line]));
  if (words) {
    out << ",\"words\":[";
    for (std::size_t k = 0; k < words->size(); ++k)
      out << (k ? "," : "") << '[' << (*words)[k].first << ',' << (*words)[k].second << ']';
    out << ']';
  }
  out << '}';
}

}  // namespace

void WriteCompareText(const ComparedProgram& a, const ComparedProgram& b, const CompareResult& result,
                      std::ostream& out) {
  if (!result.Same()) {
    out << "--- " << a.name << "\n+++ " << b.name << '\n';
    ForEachHunk(result, [&](std::size_t first, std::size_t end) {
      std::size_t countA = 0, countB = 0;
      for (std::size_t r = first; r < end; ++r) {
        const CompareRun& run = result.runs[r];
        if (run.kind != CompareKind::Added) countA += run.count;
        if (run.kind != CompareKind::Removed) countB += run.count;
      }
      const CompareRun& head = result.runs[first];
      out << "@@ " << a.name << ':' << LineOf(result.blockLineA, head.a, a.lines.size()) << ',' << countA << ' '
          << b.name << ':' << LineOf(result.blockLineB, head.b, b.lines.size()) << ',' << countB << " @@\n";
      for (std::size_t r = first; r < end; ++r) {
        const CompareRun& run = result.runs[r];
        for (std::size_t k = 0; k < run.count; ++k) {
          if (run.kind != CompareKind::Added) WriteBlock(out, '-', a, result.blockLineA[run.a + k]);
          if (run.kind != CompareKind::Removed) WriteBlock(out, '+', b, result.blockLineB[run.b + k]);
        }
      }
    });
  }
  out << CompareSummaryText(result) << '\n';
}

void WriteCompareJson(const ComparedProgram& a, const ComparedProgram& b, const CompareResult& result,
                      const CompareOptions& options, std::ostream& out) {
  out << "{\"a\":" << JsonString(a.name) << ",\"b\":" << JsonString(b.name)
      << ",\"same\":" << (result.Same() ? "true" : "false") << ",\"changed\":" << result.changed
      << ",\"added\":" << result.added << ",\"removed\":" << result.removed
      << ",\"summary\":" << JsonString(CompareSummaryText(result)) << ",\"blocks\":[";
  bool first = true;
  for (const CompareRun& run : result.runs) {
    if (run.kind == CompareKind::Same) continue;
    for (std::size_t k = 0; k < run.count; ++k) {
      out << (first ? "" : ",") << '{';
      first = false;
      if (run.kind == CompareKind::Changed) {
        const std::uint32_t la = result.blockLineA[run.a + k], lb = result.blockLineB[run.b + k];
        const ChangedWordMarks words = MarkChangedWords(a.lines[la], b.lines[lb], options);
        out << "\"kind\":\"changed\",";
        WriteJsonSide(out, "a", a, la, &words.a);
        out << ',';
        WriteJsonSide(out, "b", b, lb, &words.b);
      } else if (run.kind == CompareKind::Added) {
        out << "\"kind\":\"added\",";
        WriteJsonSide(out, "b", b, result.blockLineB[run.b + k], nullptr);
      } else {
        out << "\"kind\":\"removed\",";
        WriteJsonSide(out, "a", a, result.blockLineA[run.a + k], nullptr);
      }
      out << '}';
    }
  }
  out << "]}\n";
}

bool ReadProgramFile(const std::string& path, std::string& text, std::string& error) {
  DocumentLoad load = ReadDocumentFile(path);
  if (!load.opened) {
    error = load.error;
    return false;
  }
  text = std::move(load.text);
  if (load.needsFormatQuestion && load.size > 0) text = ReadDocumentFileByLines(path);
  return true;
}

}  // namespace quelvo
