// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli settings: the twelve communication settings as a table, or one
// of them key by key as its file holds it.
#include <algorithm>
#include <ostream>
#include <vector>

#include "cli/CliExit.h"
#include "cli/CliSession.h"
#include "cli/CliUsage.h"
#include "core/common/ProgramFiles.h"
#include "core/common/TerminalCells.h"
#include "core/settings/CommSettingFields.h"
#include "core/settings/ControlPresets.h"
#include "core/settings/CommSettingFile.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingNumberArgument.h"
#include "core/settings/SettingSlots.h"

namespace quelvo::cli {
namespace {

// The item text of an index field, or the number when it is outside the list.
std::string ChoiceText(int CommSetting::*member, int value) {
  const std::vector<std::string>& items = ChoicesOf(member);
  if (value >= 0 && static_cast<size_t>(value) < items.size()) return items[static_cast<size_t>(value)];
  return std::to_string(value);
}

std::string Padded(const std::string& text, size_t width) { return PadToCells(text, width); }

// The table's columns are as wide as their widest text, so that a long port
// name (a /dev/serial/by-id path, a network port) widens its column instead of
// pushing the rest of its line out of line; a receive port that is the send
// port is shown as "〃", which keeps the line short.
void PrintTable(const ProgramSettings& settings, int activeSetNo, std::ostream& out) {
  using Row = std::vector<std::string>;
  std::vector<Row> rows{{"N", "名前", "送信ポート", "速度", "コード", "手順", "受信ポート"}};
  for (const SettingSlot* slot : SettingMenuOrder()) {
    const CommSetting c = LoadCommSetting(ProgramFolder(), slot->setNo);
    const std::string mark = slot->setNo == activeSetNo ? "*" : " ";
    rows.push_back({std::to_string(slot->argumentNumber) + mark, settings.setNames.at(static_cast<size_t>(slot->setNo)),
                    c.Port_S, ChoiceText(&CommSetting::Speed_S, c.Speed_S),
                    ChoiceText(&CommSetting::Code_S, c.Code_S), ChoiceText(&CommSetting::Control_S, c.Control_S),
                    c.Port_R == c.Port_S && !c.Port_R.empty() ? "〃" : c.Port_R});
  }
  std::vector<size_t> widths(rows[0].size(), 0);
  for (const Row& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], TerminalCells(row[i]) + 2);
  }
  for (const Row& row : rows) {
    for (size_t i = 0; i + 1 < row.size(); ++i) out << Padded(row[i], widths[i]);
    out << row.back() << '\n';
  }
  out << "(* は現在の設定。N は --setting に指定する番号。〃 は送信ポートと同じ)\n";
}

void PrintFields(const CommSetting& c, std::ostream& out) {
  std::string section;
  for (const CommSettingField& field : CommSettingFields()) {
    if (section != field.section) {
      section = field.section;
      out << '[' << section << "]\n";
    }
    out << "  " << Padded(field.key, 14);
    if (field.IsText()) {
      out << c.*field.textMember << '\n';
    } else if (field.choices.empty()) {
      out << c.*field.intMember << '\n';
    } else {
      out << c.*field.intMember << "  " << ChoiceText(field.intMember, c.*field.intMember) << '\n';
    }
  }
}

void PrintOne(const ProgramSettings& settings, int setNo, std::ostream& out) {
  const SettingSlot* slot = FindSettingSlot(setNo);
  out << slot->argumentNumber << ": " << settings.setNames.at(static_cast<size_t>(setNo)) << "  ("
      << CommSettingFilePath(ProgramFolder(), setNo) << ")\n";
  PrintFields(LoadCommSetting(ProgramFolder(), setNo), out);
}

// The presets, numbered from 1; with a number, every key of that preset.
int RunPresets(const ParsedArgs& parsed, CliIo& io) {
  const std::vector<ControlPreset>& presets = ControlPresets();
  if (parsed.positional.empty()) {
    for (size_t i = 0; i < presets.size(); ++i) {
      io.out << Padded(std::to_string(i + 1), 4) << PresetLabel(presets[i]) << '\n';
    }
    io.out << "(ポートとメール通知はプリセットに含まれません。設定画面の「プリセットから作成」で通信設定に写せます)\n";
    return kCliDone;
  }
  int number = 0;
  if (!ParseInteger(parsed.positional[0], &number) || number < 1 ||
      static_cast<size_t>(number) > presets.size()) {
    io.err << "quelvo-cli: プリセット番号は 1〜" << presets.size() << " です: " << parsed.positional[0]
           << '\n';
    return kCliUsage;
  }
  const ControlPreset& preset = presets[static_cast<size_t>(number - 1)];
  io.out << number << ": " << PresetLabel(preset) << '\n';
  PrintFields(preset.setting, io.out);
  return kCliDone;
}

}  // namespace

int RunSettings(const std::vector<std::string>& args, CliIo& io) {
  const CliCommand& command = CliCommands()[4];
  const ParsedArgs parsed = ParseArgs(args, {{"presets", false}});
  int status = kCliUsage;
  if (HandleHelpAndUsage(parsed, command, -1, io, &status)) return status;
  if (parsed.positional.size() > 1) {
    ParsedArgs tooMany = parsed;
    tooMany.error = "引数が多すぎます";
    HandleHelpAndUsage(tooMany, command, -1, io, &status);
    return status;
  }
  if (parsed.Has("presets")) return RunPresets(parsed, io);
  ParsedArgs sessionArgs;
  if (!parsed.positional.empty()) sessionArgs.options["setting"] = parsed.positional[0];
  CliSession session;
  std::string error, notice;
  bool usageError = false;
  if (!LoadSession(sessionArgs, &session, &error, &notice, &usageError)) {
    io.err << "quelvo-cli: " << error << '\n';
    return usageError ? kCliUsage : kCliFileFailed;
  }
  if (!notice.empty()) io.err << "quelvo-cli: " << notice << '\n';
  if (parsed.positional.empty()) {
    PrintTable(session.settings, session.setNo, io.out);
  } else {
    PrintOne(session.settings, session.setNo, io.out);
  }
  return kCliDone;
}

}  // namespace quelvo::cli
