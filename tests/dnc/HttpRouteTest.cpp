// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "dnc/http/HttpRoute.h"

namespace quelvo::http {
namespace {

TEST(HttpRoute, MapsEveryAnsweredPathAndNothingElse) {
  const struct {
    const char* method;
    const char* path;
    RouteKind kind;
    const char* machine;
    const char* file;
  } cases[] = {
      {"GET", "/", RouteKind::kStaticFile, "", "index.html"},
      {"GET", "/app.js", RouteKind::kStaticFile, "", "app.js"},
      {"POST", "/style.css", RouteKind::kMethodNotAllowed, "", ""},
      {"GET", "/../etc/passwd", RouteKind::kNotFound, "", ""},
      {"GET", "/app.js/", RouteKind::kNotFound, "", ""},
      {"GET", "/dnc.conf", RouteKind::kNotFound, "", ""},
      {"GET", "/api/machines", RouteKind::kMachines, "", ""},
      {"GET", "/api/machines/", RouteKind::kNotFound, "", ""},
      {"GET", "/api//machines", RouteKind::kNotFound, "", ""},
      {"DELETE", "/api/machines", RouteKind::kMethodNotAllowed, "", ""},
      {"GET", "/api/events", RouteKind::kEvents, "", ""},
      {"GET", "/api/machines/mc-01/queue", RouteKind::kQueueList, "mc-01", ""},
      {"POST", "/api/machines/mc-01/queue", RouteKind::kQueueAdd, "mc-01", ""},
      {"PUT", "/api/machines/mc-01/queue", RouteKind::kMethodNotAllowed, "", ""},
      {"DELETE", "/api/machines/mc-01/queue/O12.nc", RouteKind::kQueueRemove, "mc-01", "O12.nc"},
      {"GET", "/api/machines/mc-01/queue/O12.nc", RouteKind::kMethodNotAllowed, "", ""},
      {"DELETE", "/api/machines/mc-01/queue/..", RouteKind::kNotFound, "", ""},
      {"DELETE", "/api/machines/mc-01/queue/.queue-x.tmp", RouteKind::kNotFound, "", ""},
      {"DELETE", "/api/machines/mc-01/queue/../../x", RouteKind::kNotFound, "", ""},
      {"DELETE", "/api/machines/mc-01/queue/a\\b", RouteKind::kNotFound, "", ""},
      {"POST", "/api/machines/../queue", RouteKind::kNotFound, "", ""},
      {"POST", "/api/machines/.mc/queue", RouteKind::kNotFound, "", ""},
      {"POST", "/api/machines/m c/queue", RouteKind::kNotFound, "", ""},
      {"POST", "/api/machines/mc/inbox", RouteKind::kNotFound, "", ""},
      {"GET", "api/machines", RouteKind::kNotFound, "", ""},
      {"GET", "", RouteKind::kNotFound, "", ""},
  };
  for (const auto& c : cases) {
    const Route route = ParseRoute(c.method, c.path);
    EXPECT_EQ(route.kind, c.kind) << c.method << " " << c.path;
    if (route.kind != RouteKind::kMethodNotAllowed && route.kind != RouteKind::kNotFound) {
      EXPECT_EQ(route.machine, c.machine) << c.path;
      EXPECT_EQ(route.file, c.file) << c.path;
    }
  }
}

TEST(HttpRoute, TakesTheTokenFromEitherHeaderOnly) {
  EXPECT_EQ(RequestToken("abc-123", nullptr), "abc-123");
  EXPECT_EQ(RequestToken(" abc-123 ", "Bearer other"), "abc-123");  // the own header first
  EXPECT_EQ(RequestToken(nullptr, "Bearer abc-123"), "abc-123");
  EXPECT_EQ(RequestToken("", "Bearer  abc-123 "), "abc-123");
  EXPECT_EQ(RequestToken(nullptr, "Basic abc-123"), "");
  EXPECT_EQ(RequestToken(nullptr, "Bearer "), "");
  EXPECT_EQ(RequestToken(nullptr, "bearer abc-123"), "");
  EXPECT_EQ(RequestToken(nullptr, nullptr), "");

  EXPECT_TRUE(SameToken("abc-123", "abc-123"));
  EXPECT_FALSE(SameToken("abc-124", "abc-123"));
  EXPECT_FALSE(SameToken("abc-12", "abc-123"));
  EXPECT_FALSE(SameToken("abc-1234", "abc-123"));
  EXPECT_FALSE(SameToken("", ""));  // no token configured: nothing matches

  EXPECT_EQ(TokenFromFileText("  s3cret-token \r\nsecond line\n"), "s3cret-token");
  EXPECT_EQ(TokenFromFileText(""), "");
}

}  // namespace
}  // namespace quelvo::http
