// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/SplitSave.h"

#include <cstdio>
#include <set>
#include <unordered_map>

#include "core/common/AtomicFile.h"
#include "core/document/DocumentFile.h"
#include "core/document/TextLines.h"

namespace quelvo {

namespace {

std::string_view WithoutLeadingBlanks(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && static_cast<unsigned char>(line[i]) <= 32) ++i;
  return line.substr(i);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// A program name as a file name: a "/" would put the file into another folder
// than the chosen one, so it is replaced.
std::string FileNameOf(std::string name) {
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name;
}

std::string SerialSuffix(int serial) {
  char text[16];
  std::snprintf(text, sizeof text, "_%03d", serial);
  return text;
}

// Collects the files; a second program under the same path replaces the first.
class FileCollector {
 public:
  explicit FileCollector(std::vector<SplitFile>& files) : files_(files) {}

  void Add(std::string path, std::string text) {
    auto found = index_.find(path);
    if (found != index_.end()) {
      files_[found->second].text = std::move(text);
      return;
    }
    index_.emplace(path, files_.size());
    files_.push_back({std::move(path), std::move(text)});
  }

 private:
  std::vector<SplitFile>& files_;
  std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace

std::string FileExtension(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) return std::string();
  const std::size_t slash = fileName.rfind('/');
  if (slash != std::string::npos && slash > dot) return std::string();
  return fileName.substr(dot);
}

SplitPlan PlanSplitSave(std::string_view documentText, const std::vector<ProgramListItem>& items,
                        const std::string& folder, const std::string& currentFileName,
                        const SplitSaveChoices& choices) {
  SplitPlan plan;
  std::set<std::string> skippedNames;
  for (const ProgramListItem& item : items) {
    if (!item.checked) skippedNames.insert(ProgramName(item.text));
  }
  const std::string extension = FileExtension(currentFileName);
  const std::vector<std::string_view> lines = SplitTextLines(documentText);
  const char* const textEnd = documentText.data() + documentText.size();

  FileCollector collector(plan.files);
  std::string leading;  // lines before the first program
  std::string buffer;
  std::string path;
  bool writing = false;
  auto finish = [&]() {
    if (!writing) return;
    if (choices.percentAtEnd) buffer += "%\r\n";
    collector.Add(std::move(path), std::move(buffer));
  };

  plan.trimmedText.reserve(documentText.size());
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const std::string_view line = WithoutLeadingBlanks(lines[k]);
    if (line.size() != lines[k].size()) plan.textTrimmed = true;
    const char* lineEnd = lines[k].data() + lines[k].size();
    const char* nextStart = k + 1 < lines.size() ? lines[k + 1].data() : textEnd;
    plan.trimmedText.append(line);
    plan.trimmedText.append(lineEnd, static_cast<std::size_t>(nextStart - lineEnd));

    if (IsProgramStartLine(line)) {
      if (plan.programCount > 0) finish();
      const std::string name = ProgramName(line);
      ++plan.programCount;
      path = JoinPath(folder, FileNameOf(name) +
                                  (choices.serialNumbers ? SerialSuffix(plan.programCount) : std::string()) +
                                  extension);
      writing = skippedNames.count(name) == 0;
      buffer.clear();
      if (choices.percentAtStart) buffer += "%\r\n";
      if (plan.programCount == 1) buffer += leading;
    }
    if (!line.empty() && line[0] == '%') continue;
    std::string& target = plan.programCount == 0 ? leading : buffer;
    target.append(line);
    target.append("\r\n");
  }
  if (plan.programCount > 0) finish();
  return plan;
}

SplitWriteResult WriteSplitFiles(const SplitPlan& plan,
                                 const std::function<void(std::size_t, std::size_t)>& progress) {
  SplitWriteResult result;
  for (const SplitFile& file : plan.files) {
    if (!WriteFileAtomically(file.path, DocumentBytesFromText(file.text), &result.error)) {
      result.ok = false;
      result.failedPath = file.path;
      return result;
    }
    ++result.written;
    if (progress) progress(result.written, plan.files.size());
  }
  return result;
}

}  // namespace quelvo
