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
      {"POST", "/api/machines/mc/inbox", RouteKind::kMethodNotAllowed, "", ""},
      {"GET", "/api/machines/mc/inbox", RouteKind::kInboxList, "mc", ""},
      {"GET", "/api/machines/mc/inbox/O12.nc", RouteKind::kInboxFile, "mc", "O12.nc"},
      {"DELETE", "/api/machines/mc/inbox/O12.nc", RouteKind::kMethodNotAllowed, "", ""},
      {"GET", "/api/machines/mc/inbox/O12.nc/compare", RouteKind::kInboxCompare, "mc", "O12.nc"},
      {"GET", "/api/machines/mc/inbox/../compare", RouteKind::kNotFound, "", ""},
      {"GET", "/api/machines/mc/inbox/.receiving", RouteKind::kNotFound, "", ""},
      {"GET", "/api/machines/mc/inbox/O12.nc/", RouteKind::kNotFound, "", ""},
      {"GET", "/api/machines/mc/inbox/O12.nc/compare/x", RouteKind::kNotFound, "", ""},
      {"GET", "/api/machines/mc/library", RouteKind::kLibraryList, "mc", ""},
      {"GET", "/api/machines/mc/library/O12.nc", RouteKind::kNotFound, "", ""},
      {"POST", "/api/machines/mc/library/O12.nc/queue", RouteKind::kLibraryQueue, "mc", "O12.nc"},
      {"GET", "/api/machines/mc/library/O12.nc/queue", RouteKind::kMethodNotAllowed, "", ""},
      {"POST", "/api/machines/mc/library/..%2Fx/queue", RouteKind::kNotFound, "", ""},
      {"POST", "/api/machines/mc/library/../queue", RouteKind::kNotFound, "", ""},
      {"POST", "/api/machines/mc/queue/O12.nc/up", RouteKind::kQueueMove, "mc", "O12.nc"},
      {"POST", "/api/machines/mc/queue/O12.nc/down", RouteKind::kQueueMove, "mc", "O12.nc"},
      {"GET", "/api/machines/mc/queue/O12.nc/up", RouteKind::kMethodNotAllowed, "", ""},
      {"POST", "/api/machines/mc/queue/O12.nc/top", RouteKind::kNotFound, "", ""},
      {"POST", "/api/machines/mc/queue/.x/up", RouteKind::kNotFound, "", ""},
      {"GET", "/api/machines/mc/log", RouteKind::kLastLog, "mc", ""},
      {"DELETE", "/api/machines/mc/log", RouteKind::kMethodNotAllowed, "", ""},
      {"POST", "/api/machines/mc/notice/ack", RouteKind::kNoticeAck, "mc", ""},
      {"GET", "/api/machines/mc/notice/ack", RouteKind::kMethodNotAllowed, "", ""},
      {"POST", "/api/machines/mc/notice", RouteKind::kNotFound, "", ""},
      {"POST", "/api/machines/mc/spool", RouteKind::kNotFound, "", ""},
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
  EXPECT_EQ(ParseRoute("POST", "/api/machines/mc/queue/O12.nc/up").steps, -1);
  EXPECT_EQ(ParseRoute("POST", "/api/machines/mc/queue/O12.nc/down").steps, 1);
  // Every change is a POST or DELETE and needs the token; no read does.
  for (const RouteKind kind : {RouteKind::kQueueAdd, RouteKind::kQueueRemove, RouteKind::kQueueMove,
                               RouteKind::kLibraryQueue, RouteKind::kNoticeAck})
    EXPECT_TRUE(ChangesState(kind));
  for (const RouteKind kind : {RouteKind::kInboxList, RouteKind::kInboxFile, RouteKind::kInboxCompare,
                               RouteKind::kLibraryList, RouteKind::kLastLog, RouteKind::kQueueList})
    EXPECT_FALSE(ChangesState(kind));
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
