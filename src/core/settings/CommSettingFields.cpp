// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/CommSettingFields.h"

#include <cstdlib>

namespace quelvo {
namespace {

using Choices = std::vector<std::string>;

CommSettingField IntField(const char* section, const char* key, int CommSetting::*member,
                          Choices choices) {
  return CommSettingField{section, key, member, nullptr, std::move(choices)};
}

CommSettingField TextField(const char* section, const char* key,
                           std::string CommSetting::*member) {
  return CommSettingField{section, key, nullptr, member, {}};
}

Choices SpeedChoices(const char* tapeDevice) {
  return {"2400", "4800", "9600", "14400", "19200", tapeDevice};
}

Choices StopBitChoices() { return {"1", "2"}; }

Choices SignalChoices() { return {"NC機の信号で開始", "NC機の信号使用しない"}; }

std::vector<CommSettingField> BuildFields() {
  const char* R = kReceiveSection;
  const char* S = kSendSection;
  std::vector<CommSettingField> fields;
  fields.push_back(IntField(R, "Speed", &CommSetting::Speed_R, SpeedChoices("ﾃｰﾌﾟﾘｰﾀﾞより受信")));
  fields.push_back(IntField(R, "Code", &CommSetting::Code_R,
                            {"EIAまたはISOｺｰﾄﾞ（自動判別）", "ASCII", "EIA", "ISO"}));
  fields.push_back(IntField(R, "STbit", &CommSetting::STbit_R, StopBitChoices()));
  fields.push_back(TextField(R, "Port", &CommSetting::Port_R));
  fields.push_back(IntField(R, "Change", &CommSetting::Change,
                            {"受信ﾃﾞｰﾀそのまま", "：はＯに変換（注釈内は除く）", "Ｏは：に変換"}));
  fields.push_back(IntField(R, "Word", &CommSetting::Word,
                            {"ﾜｰﾄﾞ毎にｽﾍﾟｰｽ挿入", "ｽﾍﾟｰｽ削除", "受信ﾃﾞｰﾀそのまま"}));
  fields.push_back(IntField(R, "Signal", &CommSetting::Signal_R, SignalChoices()));
  fields.push_back(IntField(R, "RSignal", &CommSetting::RSignal,
                            {"受信開始時、ﾃｰﾌﾟﾊﾟﾝﾁに開始信号を送信", "開始信号を送信しない"}));
  fields.push_back(IntField(R, "Buff", &CommSetting::Buff_R,
                            {"128", "256", "512", "1024", "2048", "3072", "4096"}));
  fields.push_back(IntField(R, "EndCode", &CommSetting::EndCode, {"LF", "LF+CR", "CR"}));
  fields.push_back(IntField(R, "Control", &CommSetting::Control_R, {"標準", "RTS/CTS"}));
  fields.push_back(IntField(R, "S&E_Char", &CommSetting::SE_Char,
                            {"先頭のみ％を付加", "最後尾のみ％を付加", "前後に％を付加",
                             "前後とも％を付けない"}));

  fields.push_back(IntField(S, "Speed", &CommSetting::Speed_S, SpeedChoices("ﾃｰﾌﾟﾊﾟﾝﾁに送信")));
  fields.push_back(IntField(S, "Code", &CommSetting::Code_S, {"ISO", "EIA", "ASCII"}));
  fields.push_back(IntField(S, "STbit", &CommSetting::STbit_S, StopBitChoices()));
  fields.push_back(TextField(S, "Port", &CommSetting::Port_S));
  fields.push_back(IntField(S, "Signal", &CommSetting::Signal_S, SignalChoices()));
  fields.push_back(IntField(S, "StartChar", &CommSetting::StartChar,
                            {"無し", "%", "%%", "% *", "前処理1のみ", "前処理2のみ",
                             "前処理1+%", "前処理2+%"}));
  fields.push_back(IntField(S, "EndChar", &CommSetting::EndChar, {"%", "無し", "%%"}));
  fields.push_back(IntField(S, "Feed", &CommSetting::Feed, {"無し", "50mm", "100mm", "150mm"}));
  fields.push_back(IntField(S, "Buff", &CommSetting::Buff_S,
                            {"2", "3", "4", "5", "6", "7", "8", "9", "10", "20", "30", "40",
                             "50", "100", "150", "200", "250", "300", "400", "500"}));
  fields.push_back(IntField(S, "InvTime", &CommSetting::InvTime, {}));
  fields.push_back(IntField(S, "Control", &CommSetting::Control_S,
                            {"標準", "RTS/CTS", "旧タイプ"}));
  fields.push_back(IntField(S, "Chk Count", &CommSetting::ChkCount,
                            {"10",  "15",  "20",  "25",  "30",  "35",  "40",  "45",
                             "50",  "60",  "70",  "80",  "90",  "100", "120", "140",
                             "160", "180", "200", "250", "300", "350", "400", "450",
                             "500", "600", "700", "800", "900", "1000"}));
  fields.push_back(IntField(S, "CRLF_Type", &CommSetting::CRLF_Type,
                            {"LF", "CR+LF", "CR+LF+LF", "CR"}));
  fields.push_back(IntField(S, "DNC_Send", &CommSetting::DNC_Send,
                            {"通常運転(ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ呼出無しDNC運転可)",
                             "DNC運転(ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ呼出有り)"}));
  fields.push_back(TextField(S, "SendMsg", &CommSetting::SendMsg));
  fields.push_back(TextField(S, "F_non", &CommSetting::F_non));
  fields.push_back(TextField(S, "N_non", &CommSetting::N_non));
  fields.push_back(TextField(S, "Mail_Flg", &CommSetting::Mail_Flg));
  fields.push_back(TextField(S, "Mail_Address", &CommSetting::Mail_Address));
  fields.push_back(TextField(S, "Mail_Subject", &CommSetting::Mail_Subject));
  return fields;
}

template <typename Member>
const CommSettingField& FindField(Member member, Member CommSettingField::*slot) {
  for (const CommSettingField& field : CommSettingFields()) {
    if (field.*slot == member) return field;
  }
  // Every member is in the table; reaching here is a programming error.
  std::abort();
}

}  // namespace

const std::vector<CommSettingField>& CommSettingFields() {
  static const std::vector<CommSettingField> fields = BuildFields();
  return fields;
}

const CommSettingField& CommSettingFieldOf(int CommSetting::*member) {
  return FindField(member, &CommSettingField::intMember);
}

const CommSettingField& CommSettingFieldOf(std::string CommSetting::*member) {
  return FindField(member, &CommSettingField::textMember);
}

const std::vector<std::string>& ChoicesOf(int CommSetting::*member) {
  return CommSettingFieldOf(member).choices;
}

}  // namespace quelvo
