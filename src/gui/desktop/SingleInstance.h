// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One running instance per program file: a lock file named after the
// executable's file name. A second start finds it held and ends.
#include <QLockFile>
#include <memory>
#include <string>

namespace quelvo {

class SingleInstance {
 public:
  // Takes the lock of the running executable; IsFirst() false when another holds
  // it or when the lock folder cannot be used (Problem() then says why).
  SingleInstance();
  bool IsFirst() const { return lock_ != nullptr && lock_->isLocked(); }
  const std::string& Problem() const { return problem_; }

 private:
  std::unique_ptr<QLockFile> lock_;
  std::string problem_;
};

}  // namespace quelvo
