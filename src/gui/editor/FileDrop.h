// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files dropped from a file manager onto the watched widgets: the drop is taken
// when it carries local files and handed on as their paths, before an editor
// could take it as text.
#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

namespace quelvo {

class FileDropFilter : public QObject {
  Q_OBJECT
 public:
  FileDropFilter(std::function<void(const QStringList&)> dropped, QObject* parent);

  // Lets the widget take drops and routes drops of files to the callback.
  void Watch(QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(const QStringList&)> dropped_;
};

}  // namespace quelvo
