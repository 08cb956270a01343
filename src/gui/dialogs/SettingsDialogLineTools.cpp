// SPDX-License-Identifier: GPL-3.0-or-later
// The line tools of the communication settings dialog: "回線から検出" on the
// receive page finds the control's speed and code from programs it punches,
// and "プリセットから作成" starts the slot from a common control's settings.
// Both only fill the dialog's fields after the user chose: "保存" saves.
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>
#include <atomic>
#include <mutex>
#include <thread>

#include "core/common/ProgramFiles.h"
#include "core/port/AnySerialPort.h"
#include "core/settings/CommSetting.h"
#include "core/settings/ControlPresets.h"
#include "core/settings/IniFile.h"
#include "core/settings/PortList.h"
#include "core/transfer/link/DetectionRun.h"
#include "core/transfer/link/LinePort.h"
#include "core/transfer/link/PortNames.h"
#include "gui/dialogs/SettingsDialog.h"

namespace quelvo {
namespace {

const QString kDetectCaption = QStringLiteral("回線から検出");

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Runs the detection on a thread of its own while a progress box tells the
// user to punch, and offers "中止".
std::optional<LineDetection> DetectWithProgress(QWidget* parent, const std::string& device, int speedIndex,
                                                std::string* error) {
  QProgressDialog box(parent);
  box.setWindowTitle(kDetectCaption);
  box.setCancelButtonText(QStringLiteral("中止"));
  box.setRange(0, 0);
  box.setMinimumDuration(0);
  box.setLabelText(QStringLiteral("ポートを開いています: ") + Q(device));
  box.setWindowModality(Qt::WindowModal);
  box.show();

  std::atomic<bool> cancelled{false}, done{false};
  std::mutex textMutex;
  QString text;
  std::optional<LineDetection> result;
  AnySerialPort port;
  DetectionCallbacks callbacks;
  callbacks.keepGoing = [&] { return !cancelled.load(); };
  callbacks.listening = [&](int punch, int speed, int dataBits) {
    std::lock_guard<std::mutex> lock(textMutex);
    text = QString("%1\n[%2 回目: %3 bps、データ長 %4 で受信中]")
               .arg(punch == 1 ? "NC 機から何かプログラムをパンチ (出力) してください。"
                               : "もう一度 NC 機からプログラムをパンチ (出力) してください。")
               .arg(punch)
               .arg(speed)
               .arg(dataBits);
  };
  std::thread worker([&] {
    result = RunLineDetection(port, device, speedIndex, callbacks, error);
    done.store(true);
  });
  while (!done.load()) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (box.wasCanceled()) cancelled.store(true);
    {
      std::lock_guard<std::mutex> lock(textMutex);
      if (!text.isEmpty() && box.labelText() != text) box.setLabelText(text);
    }
    QThread::msleep(20);
  }
  worker.join();
  if (cancelled.load()) error->clear();
  return result;
}

}  // namespace

void SettingsDialog::AddLineTools() {
  detectRunner_ = [this](QWidget* parent, const std::string& device, int speedIndex) {
    std::string error;
    std::optional<LineDetection> found = DetectWithProgress(parent, device, speedIndex, &error);
    if (!found && !error.empty()) prompts_.warn(this, kDetectCaption, Q(error));
    return found;
  };
  presetChooser_ = [](QWidget* parent, const QStringList& labels) {
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, QStringLiteral("プリセットから作成"),
                                                 QStringLiteral("NC 機の種類:"), labels, 0, false, &ok);
    return ok ? static_cast<int>(labels.indexOf(chosen)) : -1;
  };

  // Under the receive page's rows, where the stretch was.
  QWidget* receivePage = pages_->widget(0);
  if (auto* grid = qobject_cast<QGridLayout*>(receivePage->layout())) {
    const int row = grid->rowCount();
    detectButton_ = new QPushButton(kDetectCaption);
    detectButton_->setObjectName(QStringLiteral("DetectButton"));
    detectButton_->setAutoDefault(false);
    detectButton_->setToolTip(QStringLiteral("NC 機からパンチしたプログラムを受けて、通信速度とコードを調べます"));
    grid->setRowStretch(row - 1, 0);
    grid->addWidget(detectButton_, row, 0, 1, 2, Qt::AlignLeft);
    grid->setRowStretch(row + 1, 1);
    connect(detectButton_, &QPushButton::clicked, this, &SettingsDialog::DetectClick);
  }

  // Left of "保存" and "戻る".
  presetButton_ = new QPushButton(QStringLiteral("プリセットから作成"));
  presetButton_->setObjectName(QStringLiteral("PresetButton"));
  presetButton_->setAutoDefault(false);
  if (auto* main = qobject_cast<QVBoxLayout*>(layout())) {
    if (auto* buttons = qobject_cast<QHBoxLayout*>(main->itemAt(main->count() - 1)->layout())) {
      buttons->insertWidget(0, presetButton_);
    }
  }
  connect(presetButton_, &QPushButton::clicked, this, &SettingsDialog::PresetClick);
}

std::string SettingsDialog::ReceivePortText() const {
  for (const RowWidgets& widgets : rows_) {
    if (widgets.row->textMember != &CommSetting::Port_R) continue;
    return PortTextToStore(widgets.combo->currentText().toStdString(),
                           widgets.combo->itemText(widgets.combo->currentIndex()).toStdString(), setting_.Port_R);
  }
  return setting_.Port_R;
}

void SettingsDialog::ShowFields(const CommSetting& shown, bool receiveOnly) {
  for (const RowWidgets& widgets : rows_) {
    const SetdataRow& row = *widgets.row;
    if (receiveOnly && row.page != SetdataPage::Receive) continue;
    if (row.kind == SetdataRowKind::List) {
      widgets.combo->setCurrentIndex(ListPositionFor(shown.*row.intMember, widgets.combo->count()));
    } else if (row.kind == SetdataRowKind::WaitTime) {
      widgets.edit->setText(QString::number(shown.*row.intMember));
    }
  }
  if (!receiveOnly) {
    for (const TextWidgets& widgets : texts_) {
      const std::string& value = shown.*widgets.text->member;
      if (value == setting_.*widgets.text->member) continue;
      widgets.edit->setText(Q(value));
      widgets.edit->setEnabled(true);
    }
  }
  ApplyTapeRules(SetdataPage::Receive, shown.Speed_R);
  if (!receiveOnly) ApplyTapeRules(SetdataPage::Send, shown.Speed_S);
  MarkChanged();
}

void SettingsDialog::DetectClick() {
  const std::string portText = ReceivePortText();
  const IniFile programIni(programFolder_ + "/" + ProgramBaseName() + ".INI");
  const std::string device = ResolvePortDevice(portText, &programIni);
  if (device.empty()) {
    prompts_.warn(this, kDetectCaption, QStringLiteral("受信ポートを選んでください。"));
    return;
  }
  int speedIndex = setting_.Speed_R;
  for (const RowWidgets& widgets : rows_) {
    if (widgets.row->intMember == &CommSetting::Speed_R) speedIndex = widgets.combo->currentIndex();
  }
  const std::optional<LineDetection> found = detectRunner_(this, device, speedIndex);
  if (!found) return;
  const bool keepSpeed = IsRawTcpPort(device);
  const QString proposal = Q(DetectionProposalText(*found, keepSpeed));
  if (!found->speedFound || found->codes.size() != 1) {
    prompts_.inform(this, kDetectCaption, proposal);
    return;
  }
  const QString question = proposal + QStringLiteral("\n\n受信の設定をこの内容にしますか？\n(保存するまで設定ファイルは変わりません)");
  if (prompts_.askYesNo(this, kDetectCaption, question) != CloseAnswer::Yes) return;
  CommSetting shown = setting_;
  for (const RowWidgets& widgets : rows_) {
    if (widgets.row->page == SetdataPage::Receive && widgets.row->kind == SetdataRowKind::List) {
      shown.*widgets.row->intMember =
          ValueForListPosition(widgets.combo->currentIndex(), setting_.*widgets.row->intMember);
    }
  }
  ShowFields(ProposedReceiveHalf(shown, *found, keepSpeed), true);
}

void SettingsDialog::PresetClick() {
  QStringList labels;
  for (const ControlPreset& preset : ControlPresets()) labels << Q(PresetLabel(preset));
  const int chosen = presetChooser_(this, labels);
  if (chosen < 0 || chosen >= static_cast<int>(ControlPresets().size())) return;
  ShowFields(ApplyPreset(ControlPresets()[static_cast<size_t>(chosen)], setting_), false);
}

}  // namespace quelvo
