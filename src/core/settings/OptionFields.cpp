// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/OptionFields.h"

namespace quelvo {

const std::array<const char*, 3> kOptionPageTitles = {"全般共通", "受信共通", "送信共通"};

namespace {

constexpr int kGeneral = 0;
constexpr int kReceive = 1;
constexpr int kSend = 2;

#define QUELVO_VALUE(expr) [](ProgramSettings& s) -> std::string& { return s.expr; }

const std::array<OptionField, kOptionFieldCount> kFields = {{
    {kGeneral, "メートル表示(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op3)},
    {kGeneral, "常時、ＤＲ信号ＯＮ(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op5)},
    {kGeneral, "自動ﾎﾟｰﾄ切換(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op6)},
    {kGeneral, "ﾓﾃﾞﾑﾎﾟｰﾄ番号１(例：COM1)", 5, InputFilter::PortName, QUELVO_VALUE(modemPort1)},
    {kGeneral, "ﾓﾃﾞﾑﾎﾟｰﾄ番号２(例：COM12)", 5, InputFilter::PortName, QUELVO_VALUE(modemPort2)},
    {kGeneral, "ＤＣ３を０ｘ９３にする(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.dc3_0x93)},
    {kGeneral, "ＮＣからの中止信号は無効(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op9)},
    {kGeneral, "送受信完了後、ＰＣ電源断(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.powerOff)},
    {kGeneral, "DSR信号を併用する(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op14)},
    {kReceive, "受信ﾃﾞｰﾀをﾌﾟﾛｸﾞﾗﾑ番号毎に分割(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op2)},
    {kReceive, "受信中止でもﾃﾞｰﾀ保存行う(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op10)},
    {kSend, "選択送信(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op1)},
    {kSend, "送信時、ｽﾍﾟｰｽは送らない(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op4)},
    {kSend, "注釈(；か’)以降も送信(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op7)},
    {kSend, "ﾃｰﾌﾟﾊﾟﾝﾁｬｰ出力完了信号(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op12)},
    {kSend, "送信時ﾃﾞｰﾀ毎に回線ﾁｪｯｸ不要(Y/N)", 1, InputFilter::YesNo, QUELVO_VALUE(storedOptions.op13)},
}};

#undef QUELVO_VALUE

}  // namespace

const std::array<OptionField, kOptionFieldCount>& OptionFieldTable() { return kFields; }

std::vector<int> OptionFieldsOfPage(int page) {
  std::vector<int> indexes;
  for (int i = 0; i < kOptionFieldCount; ++i) {
    if (kFields[i].page == page) indexes.push_back(i);
  }
  return indexes;
}

OptionTexts ReadOptionTexts(ProgramSettings& settings) {
  OptionTexts texts;
  for (int i = 0; i < kOptionFieldCount; ++i) texts[i] = kFields[i].value(settings);
  return texts;
}

void ApplyOptionTexts(ProgramSettings& settings, const OptionTexts& texts) {
  for (int i = 0; i < kOptionFieldCount; ++i) kFields[i].value(settings) = texts[i];
  settings.DecodeStoredOptions();
}

}  // namespace quelvo
