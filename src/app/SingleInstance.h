#pragma once
// One running instance per program file: a lock file named after the
// executable's file name. A second start finds it held and ends.
#include <QLockFile>
#include <memory>

namespace quelvo {

class SingleInstance {
 public:
  // Takes the lock of the running executable; IsFirst() false when another holds it.
  SingleInstance();
  bool IsFirst() const { return lock_ != nullptr && lock_->isLocked(); }

 private:
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace quelvo
