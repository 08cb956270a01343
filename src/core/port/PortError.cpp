// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/port/PortError.h"

#include <cerrno>
#include <cstring>

namespace quelvo {
namespace {

std::string SystemText(int err) {
  char buffer[256];
  // GNU strerror_r returns the text (which may or may not live in buffer).
  const char* text = strerror_r(err, buffer, sizeof buffer);
  return text;
}

PortError Make(PortErrorKind kind, int err) {
  PortError error;
  error.kind = kind;
  error.systemError = err;
  error.reason = SystemText(err);
  return error;
}

}  // namespace

PortError PortErrorFromOpenErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
      return Make(PortErrorKind::kNotFound, err);
    case EBUSY:
    case EWOULDBLOCK:
      return Make(PortErrorKind::kInUse, err);
    case EACCES:
    case EPERM:
    case EROFS:
      return Make(PortErrorKind::kNoPermission, err);
    default:
      return Make(PortErrorKind::kOther, err);
  }
}

PortError PortErrorFromIoErrno(int err) {
  switch (err) {
    case EIO:
    case ENXIO:
    case ENODEV:
    case EBADF:
      return Make(PortErrorKind::kVanished, err);
    default:
      return Make(PortErrorKind::kOther, err);
  }
}

std::string PortErrorText(const PortError& error) {
  switch (error.kind) {
    case PortErrorKind::kNone:
      return std::string();
    case PortErrorKind::kNotFound:
      // A network port's server is there but nobody listens on the port.
      if (error.systemError == ECONNREFUSED) return "サーバーが接続を拒否しました（" + error.reason + "）";
      return "デバイスが見つかりません（" + error.reason + "）";
    case PortErrorKind::kInUse:
      return "他のプログラムが使用中です（" + error.reason + "）";
    case PortErrorKind::kNoPermission:
      return "アクセス権がありません（" + error.reason +
             "）。ユーザーを dialout グループに加えてください。";
    case PortErrorKind::kVanished:
      return "ポートが切断されました（" + error.reason + "）";
    case PortErrorKind::kOther:
      break;
  }
  return error.reason;
}

}  // namespace quelvo
