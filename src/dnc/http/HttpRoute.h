// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an HTTP request asks of the dashboard, from its method and its path
// (already percent-decoded by the server library), and the token it carries.
// Every path the service answers is listed here; anything else is kNotFound.
#include <string>

namespace quelvo::http {

enum class RouteKind {
  kNotFound,
  kMethodNotAllowed,  // a known path with another method
  kStaticFile,        // GET /, /index.html, /app.js, /style.css
  kMachines,          // GET /api/machines
  kEvents,            // GET /api/events
  kQueueList,         // GET /api/machines/NAME/queue
  kQueueAdd,          // POST /api/machines/NAME/queue
  kQueueRemove,       // DELETE /api/machines/NAME/queue/FILE
  kQueueMove,         // POST /api/machines/NAME/queue/FILE/up (or /down)
  kLibraryList,       // GET /api/machines/NAME/library
  kLibraryQueue,      // POST /api/machines/NAME/library/FILE/queue
  kInboxList,         // GET /api/machines/NAME/inbox
  kInboxFile,         // GET /api/machines/NAME/inbox/FILE (the bytes as stored)
  kInboxCompare,      // GET /api/machines/NAME/inbox/FILE/compare (with the library's FILE)
  kLastLog,           // GET /api/machines/NAME/log (the last transfer's communication log)
  kNoticeAck,         // POST /api/machines/NAME/notice/ack
};

struct Route {
  RouteKind kind = RouteKind::kNotFound;
  std::string machine;  // a machine name (IsMachineName), for the queue routes
  std::string file;     // the static file's name, or the file in the machine's folder (IsPlainName)
  int steps = 0;        // kQueueMove: -1 up (sooner), +1 down
};

Route ParseRoute(const std::string& method, const std::string& path);

// True for the requests that change something (and so need the token).
bool ChangesState(RouteKind kind);

// The token of a request: the X-Quelvo-Token header, else an
// "Authorization: Bearer TOKEN" header; "" when neither is there.
std::string RequestToken(const char* quelvoHeader, const char* authorization);

// Compares in time that depends on the lengths only, not on where they differ.
bool SameToken(const std::string& given, const std::string& expected);

// The first line of a token file without surrounding blanks.
std::string TokenFromFileText(const std::string& text);

}  // namespace quelvo::http
