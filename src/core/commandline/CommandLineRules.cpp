// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/commandline/CommandLineRules.h"

#include <climits>

#include "core/document/DocumentFile.h"
#include "core/settings/SettingNumberArgument.h"

namespace quelvo {

namespace {

constexpr std::size_t kCollectionMarkerLength = 4;  // "S01=" .. "S10="
constexpr std::size_t kEndArgumentMaxChars = 4;

std::string UpperAscii(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::size_t CharacterCount(const std::string& text) {
  std::size_t count = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++count;  // UTF-8 continuation bytes do not start a character
  }
  return count;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// Where the first of "S01=" .. "S10=" stands, or npos.
std::size_t FindCollectionMarker(const std::string& upper) {
  for (int n = 1; n <= 10; ++n) {
    const std::string marker = (n < 10 ? "S0" : "S") + std::to_string(n) + "=";
    const std::size_t pos = upper.find(marker);
    if (pos != std::string::npos) return pos;
  }
  return std::string::npos;
}

// The argument without the marker at pos and the switch prefix right before it.
std::string WithoutMarker(const std::string& arg, std::size_t pos, std::size_t length) {
  std::size_t start = pos;
  if (start > 0 && (arg[start - 1] == '/' || arg[start - 1] == '-')) --start;
  return arg.substr(0, start) + arg.substr(pos + length);
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// A decimal integer with an optional sign and nothing else; false otherwise or
// when it does not fit an int.
bool ParseWholeNumber(const std::string& text, int* value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  long long number = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    number = number * 10 + (text[i] - '0');
    if (number > INT_MAX) return false;
  }
  *value = static_cast<int>(negative ? -number : number);
  return true;
}

class Reader {
 public:
  Reader(CommandLineState& state, std::vector<CommandLineAction>& actions, const std::string& collectionFile,
         const FileExistsFn& exists)
      : state_(state), actions_(actions), collectionFile_(collectionFile), exists_(exists) {}

  // False when the argument ends with a question the window must answer first.
  bool Examine(const std::string& arg) {
    const std::string upper = UpperAscii(arg);
    const bool transferFree = !state_.sendRequested && !state_.receiveRequested;
    const std::size_t collection = FindCollectionMarker(upper);
    const std::size_t send = upper.find("S=");
    const std::size_t receive = upper.find("R=");

    if (transferFree && collection != std::string::npos) {
      Collect(CommandLineFileName(arg, collection, kCollectionMarkerLength, state_.dirPath));
    } else if (transferFree && Contains(upper, "SE=Y")) {
      LoadForSend(collectionFile_);
    } else if (IsPlainPath(arg, collection, send, receive)) {
      state_.pathArgumentTaken = true;
      Load(arg, true);
    } else if (transferFree && send != std::string::npos) {
      LoadForSend(CommandLineFileName(arg, send, 2, state_.dirPath));
    } else if (transferFree && receive != std::string::npos) {
      return Receive(CommandLineFileName(arg, receive, 2, state_.dirPath));
    } else {
      if (Contains(upper, "END") && CharacterCount(arg) <= kEndArgumentMaxChars) {
        Add({CommandLineActionKind::CloseAfterTransfer, {}, {}});
      }
      const std::size_t number = upper.find("N=");
      if (number != std::string::npos) SelectSetting(arg, WithoutMarker(arg, number, 2));
    }
    return true;
  }

 private:
  // A collection, send or receive argument is never a plain path, even when a
  // transfer is already requested and its own rule is skipped: opening it would
  // load a file of that odd name in place of the document to be sent.
  bool IsPlainPath(const std::string& arg, std::size_t collection, std::size_t send,
                   std::size_t receive) const {
    return !state_.pathArgumentTaken && collection == std::string::npos && send == std::string::npos &&
           receive == std::string::npos && Contains(arg, "/") && Contains(arg, ".");
  }

  void Add(CommandLineAction action) { actions_.push_back(std::move(action)); }

  void Collect(const std::string& path) {
    if (!exists_(path)) return NotFound(path);
    Add({CommandLineActionKind::CollectFile, path, {}});
    state_.dirPath = DirectoryWithSlash(path);
  }

  void Load(const std::string& path, bool promptSave) {
    CommandLineAction load{CommandLineActionKind::LoadDocument, path, {}};
    load.promptSave = promptSave;
    Add(load);
    const std::string folder = DirectoryWithSlash(path);
    if (!folder.empty()) state_.dirPath = folder;
  }

  void LoadForSend(const std::string& path) {
    if (!exists_(path)) return NotFound(path);
    Load(path, false);
    Add({CommandLineActionKind::RequestSend, {}, {}});
    state_.sendRequested = true;
  }

  void NotFound(const std::string& path) {
    Add({CommandLineActionKind::NotFound, path, NotFoundMessage(path)});
    state_.sendRequested = false;
  }

  bool Receive(const std::string& path) {
    if (exists_(path)) {
      Add({CommandLineActionKind::AskOverwrite, path, OverwriteQuestion(path)});
      state_.pendingOverwrite = path;
      return false;
    }
    Add({CommandLineActionKind::RequestReceive, path, {}});
    state_.receiveRequested = true;
    state_.receiveTarget = path;
    return true;
  }

  void SelectSetting(const std::string& arg, const std::string& numberText) {
    int number = 0;
    if (!ParseWholeNumber(numberText, &number)) {
      Add({CommandLineActionKind::Message, {}, BadSettingNumberMessage(arg)});
      return;
    }
    const SettingNumberChoice choice = SettingNumberFromArgument(number);
    if (!choice.message.empty()) Add({CommandLineActionKind::Message, {}, choice.message});
    if (choice.setNo > 0) {
      CommandLineAction select{CommandLineActionKind::SelectSetting, {}, {}};
      select.setNo = choice.setNo;
      Add(select);
    }
  }

  CommandLineState& state_;
  std::vector<CommandLineAction>& actions_;
  const std::string& collectionFile_;
  const FileExistsFn& exists_;
};

}  // namespace

std::string CommandLineFileName(const std::string& arg, std::size_t markerPos, std::size_t markerLength,
                                const std::string& dirPath) {
  const std::string name = WithoutMarker(arg, markerPos, markerLength);
  if (Contains(name, "/")) return name;
  return JoinFolder(dirPath, name);
}

bool RequestsUnattendedTransfer(const std::vector<std::string>& args) {
  // Every named file taken as present: a missing one is a request that fails.
  const FileExistsFn present = [](const std::string&) { return true; };
  CommandLineState state;
  bool transfer = false;
  bool end = false;
  for (;;) {
    const CommandLineStep step = ReadCommandLine(args, state, std::string(), present);
    state = step.state;
    for (const CommandLineAction& action : step.actions) {
      transfer = transfer || action.kind == CommandLineActionKind::RequestSend ||
                 action.kind == CommandLineActionKind::RequestReceive ||
                 action.kind == CommandLineActionKind::AskOverwrite;
      end = end || action.kind == CommandLineActionKind::CloseAfterTransfer;
    }
    if (!step.waitsForAnswer) return transfer && end;
    AnswerOverwrite(state, true);
  }
}

bool AsksForVersion(const std::vector<std::string>& args) { return args.size() == 1 && args[0] == "--version"; }

CommandLineStep ReadCommandLine(const std::vector<std::string>& args, CommandLineState state,
                                const std::string& collectionFile, const FileExistsFn& exists) {
  CommandLineStep step;
  Reader reader(state, step.actions, collectionFile, exists);
  while (state.next < args.size()) {
    const std::string& arg = args[state.next++];
    if (!reader.Examine(arg)) {
      step.waitsForAnswer = true;
      break;
    }
  }
  step.state = state;
  return step;
}

void AnswerOverwrite(CommandLineState& state, bool yes) {
  if (yes) {
    state.receiveRequested = true;
    state.receiveTarget = state.pendingOverwrite;
  }
  state.pendingOverwrite.clear();
}

std::string NotFoundMessage(const std::string& path) { return "送信データ\n" + path + "が見つかりません。"; }

std::string OverwriteQuestion(const std::string& path) {
  return "すでに" + path + "が有ります。\n上書きしますか？";
}

std::string BadSettingNumberMessage(const std::string& arg) {
  return "通信設定番号の指定\n" + arg + "\nは整数ではありません。この指定は無視します。";
}

}  // namespace quelvo
