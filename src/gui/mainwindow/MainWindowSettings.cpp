// SPDX-License-Identifier: GPL-3.0-or-later
// Communication setting selection and the settings and options dialogs, as the
// main window reaches them.
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

namespace quelvo {

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

// The "通信設定" items are captioned with the names of the settings their tags number.
void MainWindow::ApplySettingNames() {
  for (QAction* item : commands_->Menus.SetItems) {
    const int setNo = item->data().toInt();
    item->setText(Q(Settings.setNames.at(static_cast<size_t>(setNo))));
  }
}

void MainWindow::UpdateSettingCaptions() { ApplySettingNames(); }

// A settings file that is there but cannot be read (a FIFO, a device, a folder,
// no permission) leaves its defaults in use; the user is told which one.
void MainWindow::ReportUnreadableSettingsFiles() {
  std::vector<std::string> paths{ProgramSettingsPath(), SubIniPath()};
  for (const SettingSlot& slot : SettingSlots()) paths.push_back(CommSettingFilePath(ProgramFolder(), slot.setNo));
  for (const std::string& path : paths) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) continue;  // a missing file: its defaults, as always
    std::string bytes, error;
    if (!ReadWholeFile(path, &bytes, &error)) ShowMessage(Q(path + kCannotRead + error));
  }
}

void MainWindow::ShowActiveSetting(int setNo) {
  for (QAction* item : commands_->Menus.SetItems) {
    if (item->data().toInt() != setNo) continue;
    commands_->Menus.Setting->setTitle(Q(SetMenuCaption(item->text().toStdString())));
    item->setChecked(true);
    return;
  }
}

void MainWindow::SelectSetting(int setNo) {
  Settings.setNo = setNo;
  Comm = LoadCommSetting(ProgramFolder(), setNo);
  ShowActiveSetting(setNo);
  UpdateSyntaxColors();
}

// The items' tags are setting numbers, so the two OSP settings (6 and 12) load
// their own files although they stand last in the menu.
void MainWindow::SettingItemClick(int tag) { SelectSetting(tag); }

// At first show. A number no slot has (a hand-edited settings file) falls back
// to setting 1, with a message saying so.
void MainWindow::LoadActiveCommSetting() {
  transfers_->WireTransfer();
  const CheckedSetNo checked = CheckSetNo(Settings.setNo);
  if (!checked.message.empty()) {
    Host.ShowMessage(checked.message, "", MessageKind::kError, MessageButtons::kOk);
  }
  SelectSetting(checked.setNo);
}

// "設定": the communication settings dialog for the active setting. A save
// reloads the record and may rename the setting: the captions follow.
void MainWindow::OpenSettingsDialog() { EnsureSettingsDialog().exec(); }

SettingsDialog& MainWindow::EnsureSettingsDialog() {
  if (settingsDialog_ == nullptr) {
    settingsDialog_ = new SettingsDialog(Settings, Comm, ProgramFolder(), this);
    settingsDialog_->SetMailSender([](const std::string& address, const std::string& subject,
                                  const std::string& body) { MailSend(address, subject, body); });
    connect(settingsDialog_, &SettingsDialog::settingSaved, this, [this](int) {
      ApplySettingNames();
      ShowActiveSetting(Settings.setNo);
      UpdateSyntaxColors();
    });
  }
  return *settingsDialog_;
}

// "各種設定": the program options. The size panel is refreshed afterwards, as
// an option may change how the size is shown.
void MainWindow::setting_opClick() {
  EnsureOptionsDialog().exec();
  if (Document.LastFileSize > 0) edit_->FormatFileSize(Document.LastFileSize);
  UpdateSyntaxColors();
}

OptionsDialog& MainWindow::EnsureOptionsDialog() {
  if (optionsDialog_ == nullptr) optionsDialog_ = new OptionsDialog(Settings, ProgramFolder(), this);
  return *optionsDialog_;
}

void MainWindow::ToggleFilePreviewOption() {
  Settings.storedOptions.op16 = !Settings.storedOptions.op16;
  Settings.DecodeStoredOptions();
  commands_->Menus.view_op->setChecked(Settings.options.filePreview);
}

}  // namespace quelvo
