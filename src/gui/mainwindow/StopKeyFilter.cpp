// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/StopKeyFilter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

namespace quelvo {

StopKeyFilter::StopKeyFilter(QObject* parent) : QObject(parent) {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

StopKeyFilter::~StopKeyFilter() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool StopKeyFilter::ShiftHeld() const {
  return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
}

bool StopKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  // A key event reaches the filter once for the window and once for each
  // widget it is delivered to: a repeated stop request is harmless.
  if (event->type() == QEvent::KeyPress && handler_) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() == Qt::Key_F3) handler_(StopKind::kF3);
    if (key->key() == Qt::Key_Escape) handler_(StopKind::kEsc);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quelvo
