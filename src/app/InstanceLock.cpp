#include "app/InstanceLock.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace quelvo {

std::string InstanceLockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') return runtime;
  std::string folder = "/tmp/quelvo-" + std::to_string(static_cast<unsigned long>(::getuid()));
  ::mkdir(folder.c_str(), 0700);  // an existing folder is fine
  return folder;
}

std::string InstanceLockPath(const std::string& exeFileName) {
  return InstanceLockFolder() + "/" + exeFileName + ".lock";
}

}  // namespace quelvo
