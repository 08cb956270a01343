// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/WindowTransferHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <thread>

#include "core/transfer/DocumentLines.h"
#include "core/transfer/PowerOff.h"
#include "gui/desktop/ScreenSaver.h"
#include "gui/desktop/SystemPowerOff.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/StopKeyFilter.h"

namespace quelvo {

namespace {
constexpr int kEstimateIntervalMs = 10000;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kInformation:
      return QMessageBox::Information;
    case MessageKind::kWarning:
      return QMessageBox::Warning;
    case MessageKind::kError:
      return QMessageBox::Critical;
    case MessageKind::kQuestion:
      return QMessageBox::Question;
    case MessageKind::kPlain:
      break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

WindowTransferHost::WindowTransferHost(TransferWindowView& window, StopKeyFilter& keys)
    : window_(window),
      queue_(texts_,
             [this] {
               QMetaObject::invokeMethod(&window_.MessageParent(), [this] { queue_.Deliver(); },
                                         Qt::QueuedConnection);
             }),
      keys_(keys),
      systemPowerOff_(&LogindPowerOff) {}

bool WindowTransferHost::OnWindowThread() const {
  return QThread::currentThread() == window_.MessageParent().thread();
}

MessageAnswer WindowTransferHost::ShowMessage(const std::string& text, const std::string& caption,
                                              MessageKind kind, MessageButtons buttons) {
  if (!OnWindowThread()) {
    // The transfer thread waits for the answer; the window shows what
    // happened up to the question first.
    MessageAnswer answer = MessageAnswer::kOk;
    QMetaObject::invokeMethod(
        &window_.MessageParent(),
        [&] {
          queue_.Deliver();
          answer = ShowMessage(text, caption, kind, buttons);
        },
        Qt::BlockingQueuedConnection);
    return answer;
  }
  if (message_) return message_(text, caption, kind, buttons);
  QMessageBox::StandardButtons standard = QMessageBox::Ok;
  if (buttons == MessageButtons::kYesNo) standard = QMessageBox::Yes | QMessageBox::No;
  if (buttons == MessageButtons::kOkCancel) standard = QMessageBox::Ok | QMessageBox::Cancel;
  QMessageBox box(IconOf(kind), caption.empty() ? QStringLiteral("Quelvo") : Q(caption), Q(text),
                  standard, &window_.MessageParent());
  box.move(window_.MessageParent().x() + 50, window_.MessageParent().y() + 50);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswer::kYes;
    case QMessageBox::No:
      return MessageAnswer::kNo;
    case QMessageBox::Cancel:
      return MessageAnswer::kCancel;
    default:
      return buttons == MessageButtons::kOkCancel && box.clickedButton() == nullptr ? MessageAnswer::kCancel
                                                                                  : MessageAnswer::kOk;
  }
}

void WindowTransferHost::Idle() { throttle_.Call(); }

bool WindowTransferHost::ShiftHeld() { return keys_.ShiftHeld(); }

void WindowTransferHost::WaitMs(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int64_t WindowTransferHost::MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::time_t WindowTransferHost::Now() { return std::time(nullptr); }

void WindowTransferHost::SetScreenSaverActive(bool active) {
  const auto apply = [active] {
    if (active) {
      ScreenSaverOn();
    } else {
      ScreenSaverOff();
    }
  };
  if (OnWindowThread()) {
    apply();
  } else {
    QMetaObject::invokeMethod(&window_.MessageParent(), apply, Qt::QueuedConnection);
  }
}

// The editor's lines (see DocumentLines.h): a final line break opens an empty
// last line, which the send engine's count of the text's length includes.
int WindowTransferHost::LineCount() {
  if (!ownLines_.empty()) return static_cast<int>(ownLines_.size());
  return window_.TransferEditor().lines();
}

void WindowTransferHost::SetSendDocument(std::vector<std::string> lines, int firstEditorLineAt, long editorLine) {
  ownLines_ = std::move(lines);
  if (ownLines_.empty()) ownLines_.emplace_back();
  ownFirstEditorLineAt_ = firstEditorLineAt;
  ownEditorLine_ = editorLine;
  lastLineShown_ = -1;
}

void WindowTransferHost::ClearSendDocument() { ownLines_.clear(); }

std::string WindowTransferHost::RawLine(int index) {
  NcEdit* editor = &window_.TransferEditor();
  const long length = editor->SendScintilla(QsciScintillaBase::SCI_LINELENGTH, index);
  if (length <= 0) return {};
  std::string bytes(static_cast<size_t>(length), '\0');
  editor->SendScintilla(QsciScintillaBase::SCI_GETLINE, static_cast<unsigned long>(index), bytes.data());
  return bytes;
}

// The line without its CR LF (or lone CR). A lone line feed stays: the send
// engine turns it into a carriage return.
std::string WindowTransferHost::Line(int index) {
  if (!ownLines_.empty())
    return index >= 0 && index < static_cast<int>(ownLines_.size()) ? ownLines_[static_cast<size_t>(index)]
                                                                      : std::string();
  std::string line = RawLine(index);
  if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) {
    line.resize(line.size() - 2);
  } else if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return line;
}

std::vector<std::string> WindowTransferHost::DocumentSnapshot() {
  const int count = LineCount();
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) lines.push_back(Line(i));
  return lines;
}

void WindowTransferHost::ShowLineInEditor(int64_t start, int64_t length) {
  NcEdit* editor = &window_.TransferEditor();
  if (!ownLines_.empty()) {
    // The engine counts every line as its length + 2 and goes forward: find
    // the line from the one shown last.
    if (lastLineShown_ < 0 || start < shownStart_) {
      lastLineShown_ = 0;
      shownStart_ = 0;
    }
    while (shownStart_ < start && lastLineShown_ + 1 < static_cast<int>(ownLines_.size())) {
      shownStart_ += static_cast<int64_t>(ownLines_[static_cast<size_t>(lastLineShown_)].size()) + 2;
      ++lastLineShown_;
    }
    if (lastLineShown_ < ownFirstEditorLineAt_) return;  // not in the editor
    const long line = ownEditorLine_ + (lastLineShown_ - ownFirstEditorLineAt_);
    if (line >= editor->lines()) return;
    start = editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    length = editor->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line)) - start;
  } else {
    lastLineShown_ = static_cast<int>(
        editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start)));
  }
  editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(start));
  const long line = editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                          static_cast<unsigned long>(start));
  const long docLine = editor->SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, line);
  editor->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, std::max(0L, docLine - 1));
  editor->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(start),
                        static_cast<long>(start + length));
}

void WindowTransferHost::ReplaceFinalLineFeed(int index) {
  if (!ownLines_.empty()) {
    quelvo::ReplaceFinalLineFeed(ownLines_, index);
    return;
  }
  const std::string line = RawLine(index);
  if (line.empty() || line.back() != '\n' || (line.size() >= 2 && line[line.size() - 2] == '\r')) return;
  NcEdit* editor = &window_.TransferEditor();
  const long end = editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, index) +
                   static_cast<long>(line.size());
  editor->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, end - 1);
  editor->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, end);
  editor->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, 1UL, "\r");
}

// The PC is switched off only when the window really closed: a close refused
// over unsaved edits keeps it on.
void WindowTransferHost::CloseProgram(bool powerOff) {
  if (window_.CloseAfterCompletedTransfer() && powerOff) PowerOff(systemPowerOff_);
}

// --- the events on the window's widgets ---

void WindowTransferHost::WindowEvents::Preparing() {
  TransferStatusTexts::Preparing();
  window_.TransferEditor().viewport()->repaint();
}

void WindowTransferHost::WindowEvents::SendTotal(int64_t totalChars, bool dataBegins) {
  TransferStatusTexts::SendTotal(totalChars, dataBegins);
  if (dataBegins) window_.TransferEditor().setFocus();
}

void WindowTransferHost::WindowEvents::LineInProgress(int, int64_t start, int64_t length) {
  host_.ShowLineInEditor(start, length);
}

void WindowTransferHost::WindowEvents::LineEndReplaced(int index) { host_.ReplaceFinalLineFeed(index); }

void WindowTransferHost::WindowEvents::DataFlowing(bool flowing) {
  window_.SetEstimateTimer(flowing, kEstimateIntervalMs);
}

void WindowTransferHost::WindowEvents::DocumentUnchanged(bool afterError) {
  window_.SetDocumentModified(false);
  window_.ClearEditorStatus(afterError ? EditorStatusField::Caret : EditorStatusField::Modified);
}

void WindowTransferHost::WindowEvents::NextPassReady() {
  window_.ClearEditorStatus(EditorStatusField::Selection);
  window_.TransferEditor().viewport()->repaint();
}

}  // namespace quelvo
