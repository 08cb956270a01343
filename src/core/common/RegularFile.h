// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Documents, settings files and logs are read only when they are regular files.
// A FIFO would block the program until a writer came, a device such as
// /dev/zero would read without end: neither may stand in for a file.
#include <string>

namespace quelvo {

// The reason given for a FIFO, a device, a folder or a socket.
inline constexpr const char kNotARegularFile[] = "通常のファイルではありません（FIFO、デバイス、フォルダなど）";

// Opens `path` for reading when it is a regular file (a link to one counts).
// The open never waits (O_NONBLOCK, so a FIFO without a writer cannot hold it)
// and the type is checked on the opened descriptor, so nothing can be swapped
// in between. Returns the descriptor (the caller closes it), or -1 with the
// system's reason or kNotARegularFile in *error.
int OpenRegularFile(const std::string& path, std::string* error);

}  // namespace quelvo
