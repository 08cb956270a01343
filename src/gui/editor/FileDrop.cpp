// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editor/FileDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace quelvo {

namespace {

QStringList LocalFiles(const QMimeData* data) {
  QStringList paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  return paths;
}

}  // namespace

FileDropFilter::FileDropFilter(std::function<void(const QStringList&)> dropped, QObject* parent)
    : QObject(parent), dropped_(std::move(dropped)) {}

void FileDropFilter::Watch(QWidget* widget) {
  widget->setAcceptDrops(true);
  widget->installEventFilter(this);
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (LocalFiles(drag->mimeData()).isEmpty()) break;
      drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QStringList paths = LocalFiles(drop->mimeData());
      if (paths.isEmpty()) break;
      drop->acceptProposedAction();
      // The drop is finished first: questions asked during a drop would keep
      // the file manager waiting.
      QMetaObject::invokeMethod(this, [this, paths] { dropped_(paths); }, Qt::QueuedConnection);
      return true;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quelvo
