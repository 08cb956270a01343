// SPDX-License-Identifier: GPL-3.0-or-later
#include "HttpTestClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace quelvo::test {
namespace {

sockaddr_in Local(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

bool SendAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

int FreeLocalPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Local(0);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t size = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
  ::close(fd);
  return ntohs(a.sin_port);
}

int ConnectLocal(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a = Local(port);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::string ReadUntil(int fd, const std::string& text, int timeoutMs) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (text.empty() || got.find(text) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char buf[8192];
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    got.append(buf, static_cast<size_t>(n));
  }
  return got;
}

HttpReply RawRequest(int port, const std::string& request, int timeoutMs) {
  HttpReply reply;
  const int fd = ConnectLocal(port);
  if (fd < 0) return reply;
  SendAll(fd, request);
  const std::string text = ReadUntil(fd, "", timeoutMs);
  ::close(fd);
  if (text.compare(0, 9, "HTTP/1.1 ") != 0 && text.compare(0, 9, "HTTP/1.0 ") != 0) return reply;
  reply.status = std::atoi(text.c_str() + 9);
  const size_t split = text.find("\r\n\r\n");
  reply.headers = text.substr(0, split);
  if (split != std::string::npos) reply.body = text.substr(split + 4);
  return reply;
}

HttpReply Request(int port, const std::string& method, const std::string& path, const std::string& headers,
                  const std::string& body) {
  return RawRequest(port, method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + headers +
                              "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

HttpReply Upload(int port, const std::string& path, const std::string& token, const std::string& fileName,
                 const std::string& bytes) {
  const std::string boundary = "----quelvo-test-boundary-7d3a";
  const std::string body = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" +
                           fileName + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + bytes + "\r\n--" +
                           boundary + "--\r\n";
  std::string headers = "Content-Type: multipart/form-data; boundary=" + boundary + "\r\n";
  if (!token.empty()) headers += "X-Quelvo-Token: " + token + "\r\n";
  return Request(port, "POST", path, headers, body);
}

}  // namespace quelvo::test
