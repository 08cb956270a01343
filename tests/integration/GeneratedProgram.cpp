// SPDX-License-Identifier: GPL-3.0-or-later
#include "GeneratedProgram.h"

#include <cstdio>
#include <memory>

namespace quelvo::test {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Writes one line to the program (LF) and to the expected text (CR LF).
class LineWriter {
 public:
  LineWriter(std::FILE* program, std::FILE* expected) : program_(program), expected_(expected) {}

  void Line(const char* text, int length, bool stored) {
    ok_ = ok_ && std::fwrite(text, 1, static_cast<size_t>(length), program_) == static_cast<size_t>(length) &&
          std::fputc('\n', program_) != EOF;
    result_.programBytes += static_cast<std::uint64_t>(length) + 1;
    if (!stored) return;
    result_.expectedBytes += static_cast<std::uint64_t>(length) + 2;
    if (expected_ != nullptr) {
      ok_ = ok_ && std::fwrite(text, 1, static_cast<size_t>(length), expected_) == static_cast<size_t>(length) &&
            std::fputs("\r\n", expected_) != EOF;
    }
  }
  void Line(const std::string& text, bool stored) { Line(text.data(), static_cast<int>(text.size()), stored); }

  GeneratedProgram Result() const {
    GeneratedProgram result = result_;
    result.ok = ok_;
    return result;
  }
  std::uint64_t Written() const { return result_.programBytes; }

 private:
  std::FILE* program_;
  std::FILE* expected_;
  GeneratedProgram result_;
  bool ok_ = true;
};

}  // namespace

GeneratedProgram WriteGeneratedProgram(std::uint64_t bytes, const std::string& programPath,
                                       const std::string& expectedPath) {
  File program(std::fopen(programPath.c_str(), "wb"));
  File expected(expectedPath.empty() ? nullptr : std::fopen(expectedPath.c_str(), "wb"));
  if (!program || (!expectedPath.empty() && !expected)) return {};

  LineWriter writer(program.get(), expected.get());
  writer.Line("%", false);
  writer.Line("O1234", true);
  char line[96];
  for (long n = 1; writer.Written() + 8 < bytes; ++n) {
    const int length = std::snprintf(line, sizeof line, "N%ldG01X%ld.%03ldY-%ld.5F%ld", n, n % 1000,
                                     (n * 7) % 1000, n % 97, 100 + n % 900);
    writer.Line(line, length, true);
  }
  writer.Line("M30", true);
  writer.Line("%", false);
  GeneratedProgram result = writer.Result();
  if (std::fflush(program.get()) != 0 || (expected && std::fflush(expected.get()) != 0)) result.ok = false;
  return result;
}

bool IsCutShortCopy(const std::string& received, const std::string& expected, std::string* why) {
  if (received.size() < 2 || received.compare(received.size() - 2, 2, "\r\n") != 0) {
    *why = "the stored text does not end with a line end";
    return false;
  }
  const size_t before = received.size() > 2 ? received.rfind("\r\n", received.size() - 3) : std::string::npos;
  const size_t lastLine = before == std::string::npos ? 0 : before + 2;
  if (expected.compare(0, lastLine, received, 0, lastLine) != 0) {
    *why = "the whole lines differ from the program";
    return false;
  }
  const std::string partial = received.substr(lastLine, received.size() - 2 - lastLine);
  if (expected.compare(lastLine, partial.size(), partial) != 0) {
    *why = "the last line is no start of the program's line: " + partial;
    return false;
  }
  return true;
}

}  // namespace quelvo::test
