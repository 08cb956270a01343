// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SettingsDialog, the communication settings dialog "通信設定": edits the active communication
// setting and its name, lists the serial ports present, and sends a test mail.
// "保存" writes the setting's file at once and reloads the record from it.
#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/PortList.h"
#include "core/settings/SetdataFields.h"
#include "core/transfer/LineDetect.h"
#include "gui/dialogs/DialogPrompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace quelvo {

struct CommSetting;
struct ProgramSettings;

class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  using MailSender = std::function<void(const std::string& address, const std::string& subject,
                                        const std::string& body)>;

  // `settings` (setNo, the setting names, the modem ports) and `setting` (the
  // active record) must outlive the dialog; `programFolder` holds Sub.ini, the
  // setting files and the program settings file.
  SettingsDialog(ProgramSettings& settings, CommSetting& setting, std::string programFolder,
               QWidget* parent = nullptr);

  void SetPrompts(DialogPrompts prompts) { prompts_ = std::move(prompts); }
  void SetPortProber(PortProber prober) { prober_ = std::move(prober); }
  void SetMailSender(MailSender sender) { mailSender_ = std::move(sender); }

  // ---- Line tools (SettingsDialogLineTools.cpp): "回線から検出" on the receive page
  // and "プリセットから作成". Both only fill the fields; "保存" saves. ----
  // Listens for the control's punches on `device` (the receive page's port)
  // and returns what was found; nullopt when stopped or failed (it told why).
  using LineDetectRunner =
      std::function<std::optional<LineDetection>(QWidget* parent, const std::string& device, int speedIndex)>;
  void SetLineDetectRunner(LineDetectRunner runner) { detectRunner_ = std::move(runner); }
  // The preset the user picks from `labels`; -1 when cancelled.
  using PresetChooser = std::function<int(QWidget* parent, const QStringList& labels)>;
  void SetPresetChooser(PresetChooser chooser) { presetChooser_ = std::move(chooser); }
  QPushButton* DetectButton() const { return detectButton_; }
  QPushButton* PresetButton() const { return presetButton_; }
  void DetectClick();
  void PresetClick();

  // Components by their names ("receivePort", "waitTime", "mailAddress", ...).
  QComboBox* List(const char* component) const;
  QLineEdit* LineEdit(const char* component) const;
  QLabel* LabelOf(const char* component) const;
  QTabWidget* Pages() const { return pages_; }
  QLineEdit* NameEdit() const { return nameEdit_; }
  QPushButton* SaveButton() const { return saveButton_; }  // "保存"
  QPushButton* BackButton() const { return backButton_; }  // "戻る"
  QPushButton* TestMailButton() const { return testMailButton_; }  // "送信テスト"

  // Saves as "保存" does; false when nothing (or not all) could be stored.
  bool SaveClick();
  void reject() override;  // every way of closing comes here

 signals:
  // The setting file of `setNo` was written and the record reloaded from it;
  // the setting's name in the program settings may have changed.
  void settingSaved(int setNo);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct RowWidgets {
    const SetdataRow* row;
    QLabel* label;
    QComboBox* combo;  // List and PortList rows
    QLineEdit* edit;   // the WaitTime row
  };
  struct TextWidgets {
    const SetdataText* text;
    QLineEdit* edit;
  };

  QWidget* BuildListPage(SetdataPage page);
  QWidget* BuildOptionsPage();
  void FormShow();
  void FillPortLists();
  void ApplyTapeRules(SetdataPage page, int speed);
  void StoreRows(SetdataPage page);
  void TestMailClick();
  void MarkChanged();
  void AddLineTools();
  // Shows `shown` in the list and wait-time fields (of the receive page
  // only, or of both pages) and the text fields that differ from the record;
  // ports stay as they are.
  void ShowFields(const CommSetting& shown, bool receiveOnly);
  std::string ReceivePortText() const;

  ProgramSettings& settings_;
  CommSetting& setting_;
  std::string programFolder_;
  std::string subDirPath_;  // Sub.ini DirPath, written back unchanged
  DialogPrompts prompts_;
  PortProber prober_;
  MailSender mailSender_;
  std::vector<RowWidgets> rows_;
  std::vector<TextWidgets> texts_;
  QTabWidget* pages_ = nullptr;
  QLineEdit* nameEdit_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QPushButton* backButton_ = nullptr;
  QPushButton* testMailButton_ = nullptr;
  QPushButton* detectButton_ = nullptr;
  QPushButton* presetButton_ = nullptr;
  LineDetectRunner detectRunner_;
  PresetChooser presetChooser_;
};

}  // namespace quelvo
