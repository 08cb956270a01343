// quelvo-cli settings: the twelve communication settings as a table, or one
// of them key by key as its file holds it.
#include <ostream>

#include "cli/CliExit.h"
#include "cli/CliSession.h"
#include "cli/CliUsage.h"
#include "core/common/ProgramFiles.h"
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

std::string Padded(const std::string& text, size_t width) {
  // Width in terminal cells: ASCII and half-width katakana one, other text two.
  size_t cells = 0;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    const bool halfKana = length == 3 && b == 0xEF && i + 1 < text.size() &&
                          (static_cast<unsigned char>(text[i + 1]) == 0xBD ||
                           static_cast<unsigned char>(text[i + 1]) == 0xBE);
    cells += length == 1 || halfKana ? 1 : 2;
    i += length;
  }
  return text + std::string(cells < width ? width - cells : 1, ' ');
}

void PrintTable(const ProgramSettings& settings, int activeSetNo, std::ostream& out) {
  out << Padded("N", 4) << Padded("名前", 22) << Padded("送信ポート", 16) << Padded("速度", 8)
      << Padded("コード", 8) << Padded("手順", 12) << "受信ポート\n";
  for (const SettingSlot* slot : SettingMenuOrder()) {
    const CommSetting c = LoadCommSetting(ProgramFolder(), slot->setNo);
    const std::string mark = slot->setNo == activeSetNo ? "*" : " ";
    out << Padded(std::to_string(slot->argumentNumber) + mark, 4)
        << Padded(settings.setNames.at(static_cast<size_t>(slot->setNo)), 22) << Padded(c.Port_S, 16)
        << Padded(ChoiceText(&CommSetting::Speed_S, c.Speed_S), 8)
        << Padded(ChoiceText(&CommSetting::Code_S, c.Code_S), 8)
        << Padded(ChoiceText(&CommSetting::Control_S, c.Control_S), 12) << c.Port_R << '\n';
  }
  out << "(* は現在の設定。N は --setting に指定する番号)\n";
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
