// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window tests run with QUELVO_HOME pointing at a fresh temporary folder, so
// that the program folder (settings files, logs) starts empty, and without the
// port probe at exit, so that closing the window never opens a real serial port.
#include <QTemporaryDir>
#include <QtGlobal>

namespace quelvo::test {

class WindowTestHome {
 public:
  WindowTestHome() {
    qputenv("QUELVO_HOME", dir_.path().toLocal8Bit());
    qputenv("QUELVO_NO_PORT_PROBE", "1");
  }
  ~WindowTestHome() {
    qunsetenv("QUELVO_HOME");
    qunsetenv("QUELVO_NO_PORT_PROBE");
  }
  QString Path() const { return dir_.path(); }
  QString File(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};

}  // namespace quelvo::test
