// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's settings: the active communication setting and the menu
// "通信設定" that switches it, the communication settings dialog ("設定"), the
// options dialog ("各種設定"), the hidden file-preview option and the NC syntax
// colours ("ｺｰﾄﾞ色分け表示"). The main window owns one.
namespace quelvo {

class MainWindow;
class OptionsDialog;
class SettingsDialog;

class SettingCommands {
 public:
  explicit SettingCommands(MainWindow& window);

  void SettingItemClick(int tag);     // an item of "通信設定": its tag is the setting number
  void setting_opClick();             // "各種設定"
  void OpenSettingsDialog();          // tool button "設定"
  void UpdateSettingCaptions();
  // At first show: the setting of the program settings, or setting 1 with a
  // message when no slot has that number.
  void LoadActiveCommSetting();
  void ReportUnreadableSettingsFiles();
  void SelectSetting(int setNo);      // make setting setNo active and load it
  void ShowActiveSetting(int setNo);  // "通信設定切換(name)" and the radio mark
  void ApplySettingNames();           // the twelve item captions from Settings.setNames
  void ToggleFilePreviewOption();     // op16; the hidden item "ﾌｧｲﾙﾌﾟﾚﾋﾞｭｰ(ﾀﾞｲｱﾛｸﾞ)"

  // The document editor's colours on or off by the option, their marks by the
  // active setting's send code; after any change of either.
  void UpdateSyntaxColors();
  void color_opClick();  // "ｺｰﾄﾞ色分け表示" turns the option over

  // The two settings dialogs, made and wired at first use (tests reach them
  // before opening them, to replace their prompts and port prober).
  SettingsDialog& EnsureSettingsDialog();
  OptionsDialog& EnsureOptionsDialog();

 private:
  MainWindow& w_;
};

}  // namespace quelvo
