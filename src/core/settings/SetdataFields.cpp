// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/SetdataFields.h"

#include "core/settings/SettingSlots.h"

namespace quelvo {

const char* const kSetdataPageTitles[3] = {"受信設定", "送信設定", "送信ｵﾌﾟｼｮﾝ"};

namespace {

using CS = CommSetting;
constexpr auto R = SetdataPage::Receive;
constexpr auto S = SetdataPage::Send;
constexpr auto kList = SetdataRowKind::List;

SetdataRow List(SetdataPage page, const char* component, const char* label,
                int CommSetting::*member, TapeRole role = TapeRole::Unaffected) {
  return {page, component, label, kList, member, nullptr, false, false, role};
}

SetdataRow EditableList(SetdataPage page, const char* component, const char* label,
                        int CommSetting::*member, bool hidden = false) {
  return {page, component, label, kList, member, nullptr, true, hidden, TapeRole::Unaffected};
}

// Editable: a network port text ("tcp://...", "rfc2217://...") is typed in.
SetdataRow Ports(SetdataPage page, const char* component, std::string CommSetting::*member) {
  return {page, component, "通信ﾎﾟｰﾄ", SetdataRowKind::PortList, nullptr, member, true, false,
          TapeRole::Unaffected};
}

std::vector<SetdataRow> BuildRows() {
  const TapeRole line = TapeRole::LineParameter;
  const TapeRole tape = TapeRole::TapeOnly;
  return {
      List(R, "ComboBox1", "通信速度", &CS::Speed_R),
      List(R, "ComboBox2", "受信コード", &CS::Code_R, line),
      List(R, "ComboBox3", "ｽﾄｯﾌﾟﾋﾞｯﾄ", &CS::STbit_R, line),
      Ports(R, "ComboBox4", &CS::Port_R),
      List(R, "ComboBox5", "O番号", &CS::Change, line),
      List(R, "ComboBox6", "ｽﾍﾟｰｽ処理", &CS::Word, line),
      List(R, "ComboBox7", "受信開始信号", &CS::Signal_R, line),
      List(R, "ComboBox8", "ﾃｰﾌﾟﾘｰﾀﾞ利用", &CS::RSignal, tape),
      List(R, "ComboBox9", "受信ﾊﾞｯﾌｧ", &CS::Buff_R, line),
      List(R, "ComboBox10", "改行ｺｰﾄﾞ", &CS::EndCode, line),
      EditableList(R, "ComboBox20", "ﾌﾛｰｺﾝﾄﾛｰﾙ", &CS::Control_R),
      EditableList(R, "ComboBox22", "％付加", &CS::SE_Char),

      List(S, "ComboBox11", "通信速度", &CS::Speed_S),
      List(S, "ComboBox12", "送信ｺｰﾄﾞ", &CS::Code_S),
      List(S, "ComboBox13", "ｽﾄｯﾌﾟﾋﾞｯﾄ", &CS::STbit_S, TapeRole::EnabledOffTape),
      Ports(S, "ComboBox14", &CS::Port_S),
      List(S, "ComboBox15", "送信開始信号", &CS::Signal_S, line),
      List(S, "ComboBox16", "ﾃﾞｰﾀの始め", &CS::StartChar),
      List(S, "ComboBox17", "ﾃﾞｰﾀの終わり", &CS::EndChar),
      List(S, "ComboBox18", "ﾌｨｰﾄﾞ長さ", &CS::Feed, tape),
      List(S, "ComboBox19", "送信ﾊﾞｯﾌｧ", &CS::Buff_S, line),
      {S, "Edit2", "ｳｪｲﾄﾀｲﾑ", SetdataRowKind::WaitTime, &CS::InvTime, nullptr, false, false,
       TapeRole::Unaffected},
      EditableList(S, "ComboBox21", "ﾌﾛｰｺﾝﾄﾛｰﾙ", &CS::Control_S),
      EditableList(S, "ComboBox23", "ﾁｪｯｸ ｶｳﾝﾀ", &CS::ChkCount),
      EditableList(S, "ComboBox24", "改行コード", &CS::CRLF_Type),
      EditableList(S, "ComboBox25", "DNC運転", &CS::DNC_Send, true),
  };
}

SetdataText Text(const char* component, const char* label, std::string CommSetting::*member,
                 bool upperCase) {
  return {component, label, member, InputFilter::AnyText, upperCase, 0, false, false};
}

SetdataText YesNo(const char* component, const char* label, std::string CommSetting::*member,
                  bool disabledWhenEmpty) {
  return {component, label, member, InputFilter::YesNo, true, 1, true, disabledWhenEmpty};
}

}  // namespace

const std::vector<SetdataRow>& SetdataRows() {
  static const std::vector<SetdataRow> rows = BuildRows();
  return rows;
}

int CommSetting::*SpeedMemberOf(SetdataPage page) {
  return page == SetdataPage::Receive ? &CommSetting::Speed_R : &CommSetting::Speed_S;
}

const std::vector<SetdataText>& SetdataTexts() {
  static const std::vector<SetdataText> texts = {
      Text("LabeledEdit1", "送信しない文字列", &CS::SendMsg, true),
      YesNo("LabeledEdit2", "送り速度Ｆの小数点は送信しない(Y/N)", &CS::F_non, true),
      YesNo("LabeledEdit3", "ｼｰｹﾝｽ番号は送信しない(Y/N)", &CS::N_non, true),
      YesNo("LabeledEdit4", "送信完了(中止)をﾒｰﾙで知らせる(Y/N)", &CS::Mail_Flg, false),
      Text("LabeledEdit5", "送り先ﾒｰﾙｱﾄﾞﾚｽ（複数不可)", &CS::Mail_Address, false),
      Text("LabeledEdit6", "件名", &CS::Mail_Subject, false),
  };
  return texts;
}

int ListPositionFor(int value, int itemCount) {
  return value >= 0 && value < itemCount ? value : -1;
}

int ValueForListPosition(int position, int storedValue) {
  return position >= 0 ? position : storedValue;
}

bool SettingNameLocked(int setNo) { return IsOspSetting(setNo); }

bool TestMailAddressUsable(const std::string& address) {
  return address.find('@') != std::string::npos;
}

std::string TestMailBody(const std::string& dateTimeText) {
  return dateTimeText + "\nテスト送信";
}

}  // namespace quelvo
