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
      List(R, "receiveSpeed", "通信速度", &CS::Speed_R),
      List(R, "receiveCode", "受信コード", &CS::Code_R, line),
      List(R, "receiveStopBits", "ｽﾄｯﾌﾟﾋﾞｯﾄ", &CS::STbit_R, line),
      Ports(R, "receivePort", &CS::Port_R),
      List(R, "programNumber", "O番号", &CS::Change, line),
      List(R, "spaceHandling", "ｽﾍﾟｰｽ処理", &CS::Word, line),
      List(R, "receiveStartSignal", "受信開始信号", &CS::Signal_R, line),
      List(R, "tapeReader", "ﾃｰﾌﾟﾘｰﾀﾞ利用", &CS::RSignal, tape),
      List(R, "receiveBuffer", "受信ﾊﾞｯﾌｧ", &CS::Buff_R, line),
      List(R, "receiveLineEnd", "改行ｺｰﾄﾞ", &CS::EndCode, line),
      EditableList(R, "receiveFlowControl", "ﾌﾛｰｺﾝﾄﾛｰﾙ", &CS::Control_R),
      EditableList(R, "percentAdded", "％付加", &CS::SE_Char),

      List(S, "sendSpeed", "通信速度", &CS::Speed_S),
      List(S, "sendCode", "送信ｺｰﾄﾞ", &CS::Code_S),
      List(S, "sendStopBits", "ｽﾄｯﾌﾟﾋﾞｯﾄ", &CS::STbit_S, TapeRole::EnabledOffTape),
      Ports(S, "sendPort", &CS::Port_S),
      List(S, "sendStartSignal", "送信開始信号", &CS::Signal_S, line),
      List(S, "dataStart", "ﾃﾞｰﾀの始め", &CS::StartChar),
      List(S, "dataEnd", "ﾃﾞｰﾀの終わり", &CS::EndChar),
      List(S, "feedLength", "ﾌｨｰﾄﾞ長さ", &CS::Feed, tape),
      List(S, "sendBuffer", "送信ﾊﾞｯﾌｧ", &CS::Buff_S, line),
      {S, "waitTime", "ｳｪｲﾄﾀｲﾑ", SetdataRowKind::WaitTime, &CS::InvTime, nullptr, false, false,
       TapeRole::Unaffected},
      EditableList(S, "sendFlowControl", "ﾌﾛｰｺﾝﾄﾛｰﾙ", &CS::Control_S),
      EditableList(S, "checkCounter", "ﾁｪｯｸ ｶｳﾝﾀ", &CS::ChkCount),
      EditableList(S, "sendLineEnd", "改行コード", &CS::CRLF_Type),
      EditableList(S, "dncRun", "DNC運転", &CS::DNC_Send, true),
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
      Text("skippedText", "送信しない文字列", &CS::SendMsg, true),
      YesNo("noFeedPoint", "送り速度Ｆの小数点は送信しない(Y/N)", &CS::F_non, true),
      YesNo("noSequenceNumbers", "ｼｰｹﾝｽ番号は送信しない(Y/N)", &CS::N_non, true),
      YesNo("mailNotice", "送信完了(中止)をﾒｰﾙで知らせる(Y/N)", &CS::Mail_Flg, false),
      Text("mailAddress", "送り先ﾒｰﾙｱﾄﾞﾚｽ（複数不可)", &CS::Mail_Address, false),
      Text("mailSubject", "件名", &CS::Mail_Subject, false),
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
