// SPDX-License-Identifier: GPL-3.0-or-later
// OpenFileDialog: the open dialog with the file preview area (see OpenFileDialog.h).
#include "gui/dialogs/OpenFileDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/document/FilePreview.h"
#include "core/document/FileTexts.h"

namespace quelvo {

namespace {

constexpr int kCheckBoxHeight = 25;
constexpr int kMemoHeight = OpenFileDialog::kPreviewHeight - 45;

// The memo shows line breaks as the file has them; Qt's text view takes "\n".
QString MemoText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace("\r\n", "\n");
  shown.replace('\r', '\n');
  return shown;
}

}  // namespace

int SelectedFilterIndex(const QFileDialog& dialog) {
  // The combo box knows the position even when two entries read alike.
  if (auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo"); combo && combo->currentIndex() >= 0)
    return combo->currentIndex() + 1;
  return static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
}

OpenFileDialog::OpenFileDialog(QWidget* parent, const FileDialogRequest& request, FilePrompts prompts)
    : QFileDialog(parent), preview_(request.preview), prompts_(std::move(prompts)) {
  setObjectName("OpenTextDialog");
  setOption(QFileDialog::DontUseNativeDialog, true);
  setOption(QFileDialog::HideNameFilterDetails, true);
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::ExistingFile);
  if (!request.folder.isEmpty()) setDirectory(request.folder);
  const QStringList filters = QtNameFilters(request.filter);
  setNameFilters(filters);
  if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
    selectNameFilter(filters[request.filterIndex - 1]);
  connect(this, &QFileDialog::currentChanged, this, &OpenFileDialog::DoSelectionChange);
}

FileChoice OpenFileDialog::Choose(QWidget* parent, const FileDialogRequest& request, const FilePrompts& prompts) {
  OpenFileDialog dialog(parent, request, prompts);
  FileChoice choice;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return choice;
  choice.accepted = true;
  choice.path = dialog.selectedFiles().first();
  choice.filterIndex = dialog.FilterIndex();
  return choice;
}

int OpenFileDialog::FilterIndex() const { return SelectedFilterIndex(*this); }

void OpenFileDialog::showEvent(QShowEvent* event) {
  if (!shown_) {
    shown_ = true;
    DoShow();
  }
  QFileDialog::showEvent(event);
}

void OpenFileDialog::DoShow() {
  const QSize outer = size();
  auto* grid = qobject_cast<QGridLayout*>(layout());

  area_ = new QWidget(this);
  area_->setObjectName("PreviewArea");
  auto* column = new QVBoxLayout(area_);
  column->setContentsMargins(0, 0, 0, 20);
  column->setSpacing(0);
  checkBox_ = new QCheckBox(kPreviewCheckBox, area_);
  checkBox_->setObjectName("PreviewCheckBox");
  checkBox_->setFixedSize(200, kCheckBoxHeight);
  checkBox_->setChecked(preview_);
  memo_ = new QPlainTextEdit(area_);
  memo_->setObjectName("PreviewMemo");
  memo_->setReadOnly(true);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setFixedHeight(kMemoHeight);
  memo_->setFont(font());
  QPalette pal = memo_->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Window));
  memo_->setPalette(pal);
  column->addWidget(checkBox_);
  column->addWidget(memo_);
  area_->setFixedHeight(kPreviewHeight);

  if (!preview_) {
    // Without the option the area is made but never seen, and the box stays off.
    area_->hide();
    return;
  }
  if (grid != nullptr) grid->addWidget(area_, grid->rowCount(), 0, 1, grid->columnCount());
  const QRect screenArea = screen() != nullptr ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
  const int height = outer.height() + kPreviewHeight;
  resize(outer.width(), height);
  move(screenArea.x() + (screenArea.width() - outer.width()) / 2,
       screenArea.y() + (screenArea.height() - height) / 2);
}

void OpenFileDialog::DoSelectionChange(const QString& path) {
  if (memo_ == nullptr) return;
  if (checkBox_ == nullptr || !checkBox_->isChecked()) {
    memo_->clear();
    return;
  }
  const FilePreview preview = PreviewFile(path.toStdString());
  switch (preview.kind) {
    case PreviewKind::NotAFile:
      memo_->clear();
      break;
    case PreviewKind::Text:
      memo_->setPlainText(MemoText(preview.text));
      memo_->repaint();
      break;
    case PreviewKind::Binary:
      if (prompts_.warning) prompts_.warning(this, kPreviewWrongType);
      if (memo_ != nullptr) memo_->setPlainText(kPreviewNotPossible);
      break;
    case PreviewKind::ReadError:
      if (prompts_.warning) prompts_.warning(this, QString::fromStdString(preview.error));
      break;
  }
}

void OpenFileDialog::DoClose() {
  delete area_;  // the check box and the memo go with it
}

void OpenFileDialog::done(int result) {
  DoClose();
  QFileDialog::done(result);
}

}  // namespace quelvo
