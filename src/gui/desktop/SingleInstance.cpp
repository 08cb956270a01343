// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop/SingleInstance.h"

#include <QString>

#include "core/common/InstanceLock.h"
#include "core/common/ProgramFiles.h"

namespace quelvo {

namespace {
std::string ExecutableFileName() {
  const std::string path = ExecutablePath();
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

SingleInstance::SingleInstance() : problem_(InstanceLockFolderProblem()) {
  if (!problem_.empty()) return;
  lock_ = std::make_unique<QLockFile>(QString::fromStdString(InstanceLockPath(ExecutableFileName())));
  // Age alone never makes the lock stale; a lock whose process has died is taken over.
  lock_->setStaleLockTime(0);
  lock_->tryLock(0);
}

}  // namespace quelvo
