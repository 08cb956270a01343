// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A plain-socket HTTP/1.1 client for the dashboard's tests: it sends exactly
// the bytes a test writes (hostile ones included) and reads the answer.
#include <string>

namespace quelvo::test {

// A TCP port on 127.0.0.1 that was free a moment ago.
int FreeLocalPort();

struct HttpReply {
  int status = 0;  // 0: no answer (refused, closed, timed out)
  std::string headers;
  std::string body;
};

// Connects to 127.0.0.1:port; the socket, or -1.
int ConnectLocal(int port);
// Sends `request` as it is and reads until the server closes or `timeoutMs`.
HttpReply RawRequest(int port, const std::string& request, int timeoutMs = 20000);
// Reads from `fd` until `text` has come, the server closes, or `timeoutMs`;
// everything read.
std::string ReadUntil(int fd, const std::string& text, int timeoutMs);
// A request with "Connection: close" and the given extra header lines (each
// ending in CRLF) and body.
HttpReply Request(int port, const std::string& method, const std::string& path, const std::string& headers = "",
                  const std::string& body = "");
// A multipart/form-data upload of one file in the field "file".
HttpReply Upload(int port, const std::string& path, const std::string& token, const std::string& fileName,
                 const std::string& bytes);

}  // namespace quelvo::test
