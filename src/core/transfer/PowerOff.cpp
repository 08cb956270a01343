// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/PowerOff.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace quelvo {

bool RunPowerOffCommand(const std::string& command) {
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool PowerOff(const std::function<bool()>& systemPowerOff) {
  if (const char* command = std::getenv("QUELVO_POWEROFF"); command != nullptr && *command != '\0') {
    return RunPowerOffCommand(command);
  }
  return systemPowerOff ? systemPowerOff() : false;
}

}  // namespace quelvo
