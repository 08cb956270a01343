#pragma once
// Window tests run with QUELVO_HOME pointing at a fresh temporary folder, so
// that the program folder (settings files, logs) starts empty.
#include <QTemporaryDir>
#include <QtGlobal>

namespace quelvo::test {

class WindowTestHome {
 public:
  WindowTestHome() { qputenv("QUELVO_HOME", dir_.path().toLocal8Bit()); }
  ~WindowTestHome() { qunsetenv("QUELVO_HOME"); }
  QString Path() const { return dir_.path(); }
  QString File(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};

}  // namespace quelvo::test
