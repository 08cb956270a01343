// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ProgramCheck.h"

#include <algorithm>
#include <map>

#include "core/common/Cp932.h"
#include "core/document/Utf8Look.h"
#include "core/document/DocumentFile.h"
#include "core/transfer/DocumentLines.h"
#include "core/transfer/TapeCode.h"
#include "core/transfer/send/SendLineFilter.h"

namespace quelvo::cli {
namespace {

constexpr int kBaudRates[] = {2400, 4800, 9600, 14400, 19200, 4800};

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsProgramNumberLine(const std::string& line) {
  return line.size() >= 2 && (line[0] == 'O' || line[0] == ':') && IsDigit(line[1]);
}

bool EndsProgram(const std::string& line) {
  for (const char* code : {"M30", "M02", "M99"}) {
    const size_t at = line.find(code);
    if (at != std::string::npos && (at + 3 >= line.size() || !IsDigit(line[at + 3]))) return true;
  }
  return false;
}

// The program number of a program-number line: "O" or ":" and its digits.
std::string ProgramNumber(const std::string& line) {
  size_t end = 1;
  while (end < line.size() && IsDigit(line[end])) ++end;
  return "O" + line.substr(1, end - 1);
}

std::string CodeName(TapeCode code) {
  return code == TapeCode::EIA ? "EIA" : code == TapeCode::ISO ? "ISO" : "ASCII";
}

class LineChecker {
 public:
  LineChecker(const CommSetting& setting, bool cutComments, CheckReport& report)
      : code_(SendTapeCode(setting.Code_S)),
        options_(MakeSendFilterOptions(setting, cutComments)),
        report_(report) {}

  void Check(int lineNo, const std::string& wire) {
    lineNo_ = lineNo;
    CheckCharacters(wire, CheckFilter(wire));
    CheckShape(wire);
  }

 private:
  void Add(int column, FindingKind kind, const std::string& message) {
    report_.findings.push_back({lineNo_, column, kind, message});
  }

  // What the line filter leaves out or replaces, found by walking the line
  // beside what the filter hands out. Returns which bytes of the line go out.
  std::vector<bool> CheckFilter(const std::string& wire) {
    std::string sent;
    std::vector<bool> goesOut(wire.size(), false);
    SendLineFilter filter = FilterSendLine(wire, options_);
    if (filter.Dropped()) {
      Add(1, FindingKind::kChanged, "\"%\" だけの行は送信されません");
      return goesOut;
    }
    char ch = 0;
    while (filter.Next(ch)) sent += ch;
    report_.wireChars += static_cast<int64_t>(sent.size()) + 2;
    const std::string blanked = BlankOutSendMsg(wire, options_.SendMsg);
    if (blanked != wire) {
      const size_t at = wire.find(options_.SendMsg);
      Add(static_cast<int>(at) + 1, FindingKind::kChanged,
          "SendMsg \"" + Cp932ToUtf8(options_.SendMsg) + "\" は空白に置き換えられます");
    }
    size_t j = 0;
    for (size_t i = 0; i < blanked.size(); ++i) {
      if (j < sent.size() && blanked[i] == sent[j]) {
        goesOut[i] = blanked[i] == wire[i];  // a blanked SendMsg is reported already
        ++j;
        continue;
      }
      const char c = blanked[i];
      const int column = static_cast<int>(i) + 1;
      if ((c == ';' || c == '\'') && j == sent.size()) {
        Add(column, FindingKind::kChanged, std::string("\"") + c + "\" 以降はコメントとして送信されません");
        return goesOut;
      }
      if (c == '\t') {
        Add(column, FindingKind::kChanged, "タブは送信されません");
      } else if (c == '%') {
        Add(column, FindingKind::kChanged, "\"%\" は送信されません");
      } else if (c == '.') {
        Add(column, FindingKind::kChanged, "F の小数点は送信されません (F_non)");
      } else if (IsDigit(c) || c == 'N') {
        Add(column, FindingKind::kChanged, "シーケンス番号は送信されません (N_non)");
        while (i + 1 < blanked.size() && IsDigit(blanked[i + 1]) && !(j < sent.size() && blanked[i + 1] == sent[j])) ++i;
      } else {
        Add(column, FindingKind::kChanged, "この文字は送信されません");
      }
    }
    return goesOut;
  }

  // Characters the setting's code cannot carry, and lower case, among those
  // that go out.
  void CheckCharacters(const std::string& wire, const std::vector<bool>& goesOut) {
    for (size_t i = 0; i < wire.size(); ++i) {
      const auto b = static_cast<unsigned char>(wire[i]);
      if (!goesOut[i]) {
        if (IsLeadByte(b)) ++i;
        continue;
      }
      const int column = static_cast<int>(i) + 1;
      if (b >= 0x80) {
        const bool pair = IsLeadByte(b) && i + 1 < wire.size();
        if (code_ != TapeCode::ASCII) {
          Add(column, FindingKind::kChanged,
              std::string(pair ? "全角文字" : "8 ビットの文字") + "は " + CodeName(code_) + " コードでは送れません");
        }
        if (pair) ++i;
        continue;
      }
      if (code_ == TapeCode::EIA && b >= 0x20 && !EncodeChar(code_, b)) {
        Add(column, FindingKind::kChanged, std::string("\"") + static_cast<char>(b) + "\" は EIA コードに無く送信されません");
      } else if (code_ == TapeCode::EIA && b == ':') {
        Add(column, FindingKind::kChanged, "\":\" は EIA コードでは \"O\" として送信されます");
      } else if (b >= 'a' && b <= 'z' && code_ != TapeCode::EIA) {
        Add(column, FindingKind::kWarning, "小文字は NC 機が受け付けないことがあります");
      }
    }
  }

  // Comments left open and programs without a number; program numbers.
  void CheckShape(const std::string& wire) {
    int depth = 0;
    size_t open = 0;
    for (size_t i = 0; i < wire.size(); ++i) {
      if (wire[i] == '(' && depth++ == 0) open = i;
      if (wire[i] == ')' && depth > 0) --depth;
      if (IsLeadByte(static_cast<unsigned char>(wire[i]))) ++i;
    }
    if (depth > 0) Add(static_cast<int>(open) + 1, FindingKind::kWarning, "\"(\" が閉じていません");

    const bool blank = wire.find_first_not_of(" \t%") == std::string::npos;
    if (IsProgramNumberLine(wire)) {
      const std::string number = ProgramNumber(wire);
      report_.programs.push_back(number);
      const auto seen = firstLine_.find(number);
      if (seen != firstLine_.end()) {
        Add(1, FindingKind::kWarning,
            "プログラム番号 " + number + " が重複しています (最初は " + std::to_string(seen->second) + " 行)");
      } else {
        firstLine_[number] = lineNo_;
        Add(1, FindingKind::kNote, "プログラム番号 " + number);
      }
      inProgram_ = true;
    } else if (!blank && !inProgram_ && wire[0] != '(' && wire[0] != '$') {
      Add(1, FindingKind::kWarning, "プログラム番号がありません");
      inProgram_ = true;  // once per program
    }
    if (EndsProgram(wire)) inProgram_ = false;
  }

  TapeCode code_;
  SendFilterOptions options_;
  CheckReport& report_;
  int lineNo_ = 0;
  bool inProgram_ = false;
  std::map<std::string, int> firstLine_;
};

}  // namespace

bool CheckReport::Changes() const {
  return std::any_of(findings.begin(), findings.end(),
                     [](const Finding& f) { return f.kind == FindingKind::kChanged; });
}

CheckReport CheckProgram(const std::string& fileBytes, const CommSetting& setting, bool cutComments) {
  CheckReport report;
  // A UTF-8 file read as CP932 gives findings about characters it does not
  // hold (an unclosed "(" whose ")" a decoded character swallowed): the one
  // finding is what the file is.
  const Utf8Look utf8 = LookForUtf8(fileBytes);
  if (utf8.utf8) {
    report.findings.push_back({utf8.line, utf8.column, FindingKind::kChanged, kNotShiftJisText});
    return report;
  }
  LineChecker checker(setting, cutComments, report);
  // The lines as the window's editor holds them (CP932 decoded, CR LF), each
  // back in the bytes that go on the wire.
  const std::vector<std::string> lines = DocumentLines(DocumentTextFromBytes(fileBytes));
  for (size_t k = 0; k < lines.size(); ++k) {
    std::string wire = Utf8ToCp932(lines[k]);
    if (!wire.empty() && wire.back() == '\n') wire.pop_back();
    if (k + 1 == lines.size() && wire.empty()) break;  // the empty line after a final line end
    checker.Check(static_cast<int>(k) + 1, wire);
  }
  std::stable_sort(report.findings.begin(), report.findings.end(), [](const Finding& a, const Finding& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  if (setting.Speed_S >= 0 && setting.Speed_S < 5) {
    report.baudRate = kBaudRates[setting.Speed_S];
    const int stopBits = setting.STbit_S == 0 ? 1 : 2;
    report.seconds = report.wireChars * (1 + 8 + stopBits) / report.baudRate;
  }
  return report;
}

std::string FindingText(const std::string& file, const Finding& finding) {
  const char* kind = finding.kind == FindingKind::kChanged   ? "変更"
                     : finding.kind == FindingKind::kWarning ? "注意"
                                                             : "情報";
  return file + ":" + std::to_string(finding.line) + ":" + std::to_string(finding.column) + ": " + kind + ": " +
         finding.message;
}

}  // namespace quelvo::cli
