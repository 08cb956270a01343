// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <sys/stat.h>

#include <vector>

#include "core/common/AtomicFile.h"
#include "core/common/ProgramFiles.h"
#include "core/document/FileTexts.h"
#include "core/settings/CommSettingFile.h"
#include "core/settings/SettingSlots.h"
#include "core/transfer/MailSend.h"
#include "gui/dialogs/OptionsDialog.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/SettingCommands.h"

namespace quelvo {

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

SettingCommands::SettingCommands(MainWindow& window) : w_(window) {}

// The "通信設定" items are captioned with the names of the settings their tags number.
void SettingCommands::ApplySettingNames() {
  for (QAction* item : w_.commands_->Menus.SetItems) {
    const int setNo = item->data().toInt();
    item->setText(Q(w_.Settings.setNames.at(static_cast<size_t>(setNo))));
  }
}

void SettingCommands::UpdateSettingCaptions() { ApplySettingNames(); }

// A settings file that is there but cannot be read (a FIFO, a device, a folder,
// no permission) leaves its defaults in use; the user is told which one.
void SettingCommands::ReportUnreadableSettingsFiles() {
  std::vector<std::string> paths{ProgramSettingsPath(), SubIniPath()};
  for (const SettingSlot& slot : SettingSlots()) paths.push_back(CommSettingFilePath(ProgramFolder(), slot.setNo));
  for (const std::string& path : paths) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) continue;  // a missing file: its defaults, as always
    std::string bytes, error;
    if (!ReadWholeFile(path, &bytes, &error)) w_.ShowMessage(Q(path + kCannotRead + error));
  }
}

void SettingCommands::ShowActiveSetting(int setNo) {
  for (QAction* item : w_.commands_->Menus.SetItems) {
    if (item->data().toInt() != setNo) continue;
    w_.commands_->Menus.Setting->setTitle(Q(SetMenuCaption(item->text().toStdString())));
    item->setChecked(true);
    return;
  }
}

void SettingCommands::SelectSetting(int setNo) {
  w_.Settings.setNo = setNo;
  w_.Comm = LoadCommSetting(ProgramFolder(), setNo);
  ShowActiveSetting(setNo);
  UpdateSyntaxColors();
}

// The items' tags are setting numbers, so the two OSP settings (6 and 12) load
// their own files although they stand last in the menu.
void SettingCommands::SettingItemClick(int tag) { SelectSetting(tag); }

// At first show. A number no slot has (a hand-edited settings file) falls back
// to setting 1, with a message saying so.
void SettingCommands::LoadActiveCommSetting() {
  w_.transfers_->WireTransfer();
  const CheckedSetNo checked = CheckSetNo(w_.Settings.setNo);
  if (!checked.message.empty()) {
    w_.Host.ShowMessage(checked.message, "", MessageKind::kError, MessageButtons::kOk);
  }
  SelectSetting(checked.setNo);
}

// "設定": the communication settings dialog for the active setting. A save
// reloads the record and may rename the setting: the captions follow.
void SettingCommands::OpenSettingsDialog() { EnsureSettingsDialog().exec(); }

SettingsDialog& SettingCommands::EnsureSettingsDialog() {
  if (w_.settingsDialog_ == nullptr) {
    w_.settingsDialog_ = new SettingsDialog(w_.Settings, w_.Comm, ProgramFolder(), &w_);
    w_.settingsDialog_->SetMailSender([](const std::string& address, const std::string& subject,
                                  const std::string& body) { MailSend(address, subject, body); });
    QObject::connect(w_.settingsDialog_, &SettingsDialog::settingSaved, w_.settingsDialog_, [this](int) {
      ApplySettingNames();
      ShowActiveSetting(w_.Settings.setNo);
      UpdateSyntaxColors();
    });
  }
  return *w_.settingsDialog_;
}

// "各種設定": the program options. The size panel is refreshed afterwards, as
// an option may change how the size is shown.
void SettingCommands::setting_opClick() {
  EnsureOptionsDialog().exec();
  if (w_.Document.LastFileSize > 0) w_.edit_->FormatFileSize(w_.Document.LastFileSize);
  UpdateSyntaxColors();
}

OptionsDialog& SettingCommands::EnsureOptionsDialog() {
  if (w_.optionsDialog_ == nullptr) w_.optionsDialog_ = new OptionsDialog(w_.Settings, ProgramFolder(), &w_);
  return *w_.optionsDialog_;
}

void SettingCommands::ToggleFilePreviewOption() {
  w_.Settings.storedOptions.op16 = !w_.Settings.storedOptions.op16;
  w_.Settings.DecodeStoredOptions();
  w_.commands_->Menus.view_op->setChecked(w_.Settings.options.filePreview);
}

}  // namespace quelvo
