// SPDX-License-Identifier: GPL-3.0-or-later
#include "dnc/http/HttpServer.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <mutex>

#include "core/common/AtomicFile.h"
#include "core/common/JsonText.h"
#include "core/dnc/DncCommands.h"
#include "core/dnc/DncFolderViews.h"
#include "core/dnc/DncNames.h"
#include "core/dnc/DncSpool.h"
#include "dnc/http/FolderAnswers.h"
#include "dnc/http/HttpRoute.h"
#include "dnc/http/StatusFeed.h"

#ifndef QUELVO_WEB_DIR
#define QUELVO_WEB_DIR "/usr/share/quelvo/web"
#endif

namespace quelvo::http {

std::string DefaultWebFolder() { return QUELVO_WEB_DIR; }

namespace {

// What one request carries between the library's calls of the handler.
struct Request {
  HttpServer::Impl* owner = nullptr;
  Route route;
  bool answered = false;  // a response went out before the body was read
  // an upload in progress
  MHD_PostProcessor* post = nullptr;
  std::string name;  // the program's file name
  std::string temp;  // the hidden file in the spool it is written to
  int fd = -1;
  long received = 0;
  std::string failure;  // why the upload is refused, once known
  int failureStatus = 0;
  bool fileSeen = false;

  ~Request() {
    if (post != nullptr) MHD_destroy_post_processor(post);
    if (fd >= 0) ::close(fd);
    if (!temp.empty()) ::unlink(temp.c_str());
  }
};

// A live stream's place in the feed.
struct Stream {
  StatusFeed* feed;
  uint64_t cursor = 0;
  int keepAliveMs;
  std::string pending;  // text not yet handed to the library
};

const char* ContentType(const std::string& file) {
  if (file.size() > 3 && file.compare(file.size() - 3, 3, ".js") == 0) return "text/javascript; charset=utf-8";
  if (file.size() > 4 && file.compare(file.size() - 4, 4, ".css") == 0) return "text/css; charset=utf-8";
  return "text/html; charset=utf-8";
}

}  // namespace

struct HttpServer::Impl {
  const DncConfig& config;
  Journal journal;
  StatusFeed feed;
  MHD_Daemon* daemon = nullptr;
  std::string token;
  std::string cert, key;  // PEM text, kept while the daemon runs
  std::string webDir;
  std::mutex journalMutex;

  Impl(const DncConfig& c, Journal j) : config(c), journal(std::move(j)), feed(c) {}

  void Say(const std::string& line) {
    const std::lock_guard<std::mutex> lock(journalMutex);
    journal("http: " + line);
  }

  static MHD_Result Send(MHD_Connection* connection, unsigned status, const std::string& body,
                         const char* type = "application/json; charset=utf-8") {
    MHD_Response* response =
        MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
    MHD_add_response_header(response, "Content-Type", type);
    MHD_add_response_header(response, "Cache-Control", "no-store");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(response, "X-Frame-Options", "DENY");
    const MHD_Result result = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);
    return result;
  }

  static MHD_Result SendError(MHD_Connection* connection, unsigned status, const std::string& message) {
    return Send(connection, status, "{\"error\": " + JsonString(message) + "}\n");
  }

  bool Authorized(MHD_Connection* connection, const Route& route) {
    if (!ChangesState(route.kind) && (config.http.publicRead || route.kind == RouteKind::kStaticFile)) return true;
    std::string given = RequestToken(MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Quelvo-Token"),
                                     MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Authorization"));
    // A browser's event stream cannot carry a header: reads may name the token
    // in the query; changes never may (a link or a form cannot make one).
    if (given.empty() && !ChangesState(route.kind)) {
      const char* query = MHD_lookup_connection_value(connection, MHD_GET_ARGUMENT_KIND, "token");
      if (query != nullptr) given = query;
    }
    return SameToken(given, token);
  }

  MHD_Result StaticFile(MHD_Connection* connection, const std::string& file) {
    std::string bytes, error;
    if (!ReadWholeFile(webDir + "/" + file, &bytes, &error)) {
      Say(error);
      return SendError(connection, MHD_HTTP_NOT_FOUND, "not found");
    }
    return Send(connection, MHD_HTTP_OK, bytes, ContentType(file));
  }

  MHD_Result Events(MHD_Connection* connection) {
    auto* stream = new Stream{&feed, 0, std::max(1000, std::min(15000, config.http.timeoutSeconds * 1000 / 3)), ""};
    MHD_Response* response = MHD_create_response_from_callback(MHD_SIZE_UNKNOWN, 16 * 1024, &ReadStream, stream,
                                                               [](void* cls) { delete static_cast<Stream*>(cls); });
    MHD_add_response_header(response, "Content-Type", "text/event-stream; charset=utf-8");
    MHD_add_response_header(response, "Cache-Control", "no-store");
    const MHD_Result result = MHD_queue_response(connection, MHD_HTTP_OK, response);
    MHD_destroy_response(response);
    return result;
  }

  // The stream's next bytes; blocks its own connection's thread only.
  static ssize_t ReadStream(void* cls, uint64_t, char* buf, size_t max) {
    auto* stream = static_cast<Stream*>(cls);
    if (stream->pending.empty()) {
      bool stopped = false;
      stream->pending = stream->feed->NextFor(&stream->cursor, stream->keepAliveMs, &stopped);
      if (stopped) return MHD_CONTENT_READER_END_OF_STREAM;
      if (stream->pending.empty()) stream->pending = ": alive\n\n";
    }
    const size_t n = std::min(max, stream->pending.size());
    std::memcpy(buf, stream->pending.data(), n);
    stream->pending.erase(0, n);
    return static_cast<ssize_t>(n);
  }

  MHD_Result Reply(MHD_Connection* connection, const Answer& answer, bool changed = false) {
    if (!answer.journal.empty()) Say(answer.journal);
    if (changed && answer.status < 300) feed.Refresh();
    return Send(connection, answer.status, answer.body, answer.type.c_str());
  }

  // A received program as it lies in the inbox, byte for byte.
  MHD_Result InboxFile(MHD_Connection* connection, const MachineConfig& machine, const std::string& file) {
    std::string error;
    const int fd = OpenStoredFile(machine.inbox, file, &error);
    if (fd < 0) return SendError(connection, MHD_HTTP_NOT_FOUND, error);
    struct stat st {};
    ::fstat(fd, &st);
    MHD_Response* response = MHD_create_response_from_fd(static_cast<uint64_t>(st.st_size), fd);
    if (response == nullptr) {
      ::close(fd);
      return SendError(connection, MHD_HTTP_INTERNAL_SERVER_ERROR, "cannot answer");
    }
    MHD_add_response_header(response, "Content-Type", "application/octet-stream");
    MHD_add_response_header(response, "Content-Disposition", AttachmentHeader(file).c_str());
    MHD_add_response_header(response, "Cache-Control", "no-store");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    const MHD_Result result = MHD_queue_response(connection, MHD_HTTP_OK, response);
    MHD_destroy_response(response);
    return result;
  }

  MHD_Result RemoveQueued(MHD_Connection* connection, const MachineConfig& machine, const std::string& file) {
    // A program the control is being sent stays until its send ends: it moves
    // to sent/ then, and its removal would only lose that record.
    for (const WorkerStatus& status : ReadServiceStatus(config)) {
      if (status.machine == machine.name && status.activity == WorkerActivity::kSending && status.program == file)
        return SendError(connection, MHD_HTTP_CONFLICT, file + " is being sent");
    }
    std::string error;
    if (!quelvo::RemoveQueued(machine.spool, file, &error)) return SendError(connection, MHD_HTTP_NOT_FOUND, error);
    Say(machine.name + ": removed " + file + " from the queue");
    feed.Refresh();
    return Send(connection, MHD_HTTP_OK, "{\"removed\": " + JsonString(file) + "}\n");
  }

  // Opens the spool's temporary file for the upload named `name`.
  bool BeginUpload(Request& r, const MachineConfig& machine, const std::string& name) {
    if (r.fileSeen) return Fail(r, MHD_HTTP_BAD_REQUEST, "one program per upload");
    r.fileSeen = true;
    if (!IsPlainName(name)) return Fail(r, MHD_HTTP_BAD_REQUEST, "not a plain file name: " + name);
    r.name = name;
    std::string error;
    r.fd = CreateSpoolTemp(machine.spool, &r.temp, &error);
    if (r.fd < 0) {
      Say(error);
      return Fail(r, MHD_HTTP_INTERNAL_SERVER_ERROR, "the spool cannot be written");
    }
    return true;
  }

  bool Append(Request& r, const char* data, size_t size) {
    r.received += static_cast<long>(size);
    if (r.received > config.http.maxUploadBytes) return Fail(r, MHD_HTTP_CONTENT_TOO_LARGE, "upload too large");
    if (size > 0 && !WriteAllBytes(r.fd, std::string(data, size))) {
      Say(r.temp + ": " + std::strerror(errno));
      return Fail(r, MHD_HTTP_INTERNAL_SERVER_ERROR, "the spool cannot be written");
    }
    return true;
  }

  static bool Fail(Request& r, int status, const std::string& why) {
    if (r.failure.empty()) {
      r.failure = why;
      r.failureStatus = status;
    }
    return false;
  }

  static MHD_Result PostField(void* cls, MHD_ValueKind, const char* key, const char* filename, const char*,
                              const char*, const char* data, uint64_t off, size_t size) {
    Request& r = *static_cast<Request*>(cls);
    Impl& self = *r.owner;
    if (!r.failure.empty()) return MHD_NO;
    if (std::strcmp(key, "file") != 0) return MHD_YES;  // other fields are not used
    const MachineConfig& machine = *self.config.Find(r.route.machine);
    if (off == 0 && r.fd < 0 && !self.BeginUpload(r, machine, filename != nullptr ? filename : "")) return MHD_NO;
    return self.Append(r, data, size) ? MHD_YES : MHD_NO;
  }

  MHD_Result Finish(MHD_Connection* connection, Request& r, const MachineConfig& machine) {
    if (r.failure.empty() && r.fd < 0) Fail(r, MHD_HTTP_BAD_REQUEST, "no program in the request (field \"file\")");
    if (!r.failure.empty()) return SendError(connection, r.failureStatus, r.failure);
    std::string placed, error;
    const int fd = r.fd;
    r.fd = -1;
    const bool ok = CommitSpoolTemp(fd, r.temp, machine.spool, r.name, std::time(nullptr), &placed, &error);
    r.temp.clear();
    if (!ok) {
      Say(error);
      return SendError(connection, MHD_HTTP_INTERNAL_SERVER_ERROR, "the spool cannot be written");
    }
    const std::string queued = placed.substr(placed.rfind('/') + 1);
    Say(machine.name + ": queued " + queued + " (" + std::to_string(r.received) + " bytes)");
    feed.Refresh();
    return Send(connection, MHD_HTTP_CREATED, "{\"queued\": " + JsonString(queued) + "}\n");
  }

  MHD_Result Upload(MHD_Connection* connection, Request& r, const MachineConfig& machine, const char* data,
                    size_t* size) {
    if (r.post == nullptr && r.fd < 0 && r.failure.empty()) {
      // a raw body: the name comes with the query (?name=O1234.nc)
      const char* name = MHD_lookup_connection_value(connection, MHD_GET_ARGUMENT_KIND, "name");
      BeginUpload(r, machine, name != nullptr ? name : "");
    }
    if (*size != 0) {
      if (r.failure.empty()) {
        if (r.post != nullptr) {
          MHD_post_process(r.post, data, *size);
        } else {
          Append(r, data, *size);
        }
      }
      *size = 0;
      // Past the cap the rest is not read: the connection is closed.
      return r.failureStatus == MHD_HTTP_CONTENT_TOO_LARGE ? MHD_NO : MHD_YES;
    }
    return Finish(connection, r, machine);
  }

  MHD_Result Handle(MHD_Connection* connection, const char* url, const char* method, const char* data,
                    size_t* size, void** context) {
    auto* r = static_cast<Request*>(*context);
    if (r == nullptr) {
      // The first call: only the headers are here. Whatever is refused is
      // refused now, before any of the body is read.
      r = new Request;
      r->owner = this;
      *context = r;
      r->route = ParseRoute(method, url);
      const MHD_Result early = Begin(connection, *r);
      if (r->answered || early == MHD_NO) return early;
      return MHD_YES;
    }
    if (r->answered) {
      *size = 0;
      return MHD_YES;
    }
    return Upload(connection, *r, *config.Find(r->route.machine), data, size);
  }

  // Answers every request that has no body to read; for an upload, checks
  // what the headers tell and sets up its reading.
  MHD_Result Begin(MHD_Connection* connection, Request& r) {
    r.answered = true;
    const Route& route = r.route;
    if (route.kind == RouteKind::kNotFound) return SendError(connection, MHD_HTTP_NOT_FOUND, "not found");
    if (route.kind == RouteKind::kMethodNotAllowed)
      return SendError(connection, MHD_HTTP_METHOD_NOT_ALLOWED, "method not allowed");
    if (!Authorized(connection, route)) {
      if (!token.empty()) return SendError(connection, MHD_HTTP_UNAUTHORIZED, "token missing or wrong");
      return SendError(connection, MHD_HTTP_FORBIDDEN,
                       ChangesState(route.kind) ? "changes are off: no token_file configured"
                                                : "reading is off: no token_file and public_read = no");
    }
    const MachineConfig* machine = route.machine.empty() ? nullptr : config.Find(route.machine);
    if (!route.machine.empty() && machine == nullptr) return SendError(connection, MHD_HTTP_NOT_FOUND, "no such machine");
    switch (route.kind) {
      case RouteKind::kStaticFile:
        return StaticFile(connection, route.file);
      case RouteKind::kMachines:
        return Send(connection, MHD_HTTP_OK, feed.MachinesJson());
      case RouteKind::kEvents:
        return Events(connection);
      case RouteKind::kQueueList:
        return Send(connection, MHD_HTTP_OK, feed.QueueJson(route.machine));
      case RouteKind::kQueueRemove:
        return RemoveQueued(connection, *machine, route.file);
      case RouteKind::kQueueMove:
        return Reply(connection, MoveQueuedAnswer(*machine, route.file, route.steps), true);
      case RouteKind::kLibraryList:
        return Reply(connection, LibraryListAnswer(*machine));
      case RouteKind::kLibraryQueue:
        return Reply(connection, QueueFromLibraryAnswer(*machine, route.file, std::time(nullptr)), true);
      case RouteKind::kInboxList:
        return Reply(connection, InboxListAnswer(*machine));
      case RouteKind::kInboxFile:
        return InboxFile(connection, *machine, route.file);
      case RouteKind::kInboxCompare:
        return Reply(connection, InboxCompareAnswer(*machine, route.file));
      case RouteKind::kLastLog:
        return Reply(connection, LastLogAnswer(config, *machine));
      case RouteKind::kNoticeAck:
        return Reply(connection, NoticeAckAnswer(config, *machine));
      default:
        break;
    }
    // kQueueAdd: a body follows.
    const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length");
    if (length != nullptr && std::strtoll(length, nullptr, 10) > config.http.maxUploadBytes) {
      return SendError(connection, MHD_HTTP_CONTENT_TOO_LARGE,
                       "upload too large (at most " + std::to_string(config.http.maxUploadBytes) + " bytes)");
    }
    const char* type = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Type");
    if (type != nullptr && std::strncmp(type, "multipart/form-data", 19) == 0) {
      r.post = MHD_create_post_processor(connection, 64 * 1024, &PostField, &r);
      if (r.post == nullptr) return SendError(connection, MHD_HTTP_BAD_REQUEST, "bad multipart request");
    }
    r.answered = false;
    return MHD_YES;
  }
};

HttpServer::HttpServer(const DncConfig& config, Journal journal)
    : impl_(std::make_unique<Impl>(config, std::move(journal))) {}

HttpServer::~HttpServer() { Stop(); }

namespace {

MHD_Result OnRequest(void* cls, MHD_Connection* connection, const char* url, const char* method, const char*,
                     const char* data, size_t* size, void** context) {
  return static_cast<HttpServer::Impl*>(cls)->Handle(connection, url, method, data, size, context);
}

void OnCompleted(void*, MHD_Connection*, void** context, MHD_RequestTerminationCode) {
  delete static_cast<Request*>(*context);  // an unfinished upload's temporary file goes with it
  *context = nullptr;
}

void OnLibraryMessage(void* cls, const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  std::string line = text;
  while (!line.empty() && line.back() == '\n') line.pop_back();
  static_cast<HttpServer::Impl*>(cls)->Say(line);
}

bool ReadPem(const std::string& path, std::string* text, HttpServer::Impl& impl) {
  std::string error;
  if (ReadWholeFile(path, text, &error)) return true;
  impl.Say(error);
  return false;
}

}  // namespace

bool HttpServer::Start() {
  Impl& d = *impl_;
  const HttpConfig& h = d.config.http;
  std::string host;
  int port = 0;
  if (!ParseListenAddress(h.listen, &host, &port)) {
    d.Say("bad listen address " + h.listen);
    return false;
  }
  if (!h.tokenFile.empty()) {
    std::string text, error;
    if (!ReadWholeFile(h.tokenFile, &text, &error)) {
      d.Say(error);
      return false;
    }
    d.token = TokenFromFileText(text);
    if (d.token.size() < 8) {
      d.Say(h.tokenFile + ": the token needs at least 8 characters");
      return false;
    }
  }
  d.webDir = h.webDir.empty() ? DefaultWebFolder() : h.webDir;
  sockaddr_storage address{};
  unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION | MHD_USE_POLL | MHD_USE_ERROR_LOG;
  if (inet_pton(AF_INET, host.c_str(), &reinterpret_cast<sockaddr_in*>(&address)->sin_addr) == 1) {
    auto* in = reinterpret_cast<sockaddr_in*>(&address);
    in->sin_family = AF_INET;
    in->sin_port = htons(static_cast<uint16_t>(port));
  } else if (inet_pton(AF_INET6, host.c_str(), &reinterpret_cast<sockaddr_in6*>(&address)->sin6_addr) == 1) {
    auto* in6 = reinterpret_cast<sockaddr_in6*>(&address);
    in6->sin6_family = AF_INET6;
    in6->sin6_port = htons(static_cast<uint16_t>(port));
    flags |= MHD_USE_IPv6;
  } else {
    d.Say("listen needs a numeric address: " + host);
    return false;
  }
  const bool tls = !h.certFile.empty();
  if (tls) {
    if (!ReadPem(h.certFile, &d.cert, d) || !ReadPem(h.keyFile, &d.key, d)) return false;
    flags |= MHD_USE_TLS;
  }
  std::vector<MHD_OptionItem> options = {
      {MHD_OPTION_SOCK_ADDR, 0, &address},
      {MHD_OPTION_CONNECTION_LIMIT, static_cast<intptr_t>(h.maxClients), nullptr},
      {MHD_OPTION_CONNECTION_TIMEOUT, static_cast<intptr_t>(h.timeoutSeconds), nullptr},
      {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&OnCompleted), nullptr},
      {MHD_OPTION_CONNECTION_MEMORY_LIMIT, 64 * 1024, nullptr},
      {MHD_OPTION_LISTEN_BACKLOG_SIZE, 64, nullptr},
  };
  if (tls) {
    options.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(d.cert.c_str())});
    options.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(d.key.c_str())});
  }
  options.push_back({MHD_OPTION_END, 0, nullptr});
  d.daemon = MHD_start_daemon(flags, 0, nullptr, nullptr, &OnRequest, &d, MHD_OPTION_EXTERNAL_LOGGER,
                              &OnLibraryMessage, &d, MHD_OPTION_ARRAY, options.data(),
                              MHD_OPTION_END);
  if (d.daemon == nullptr) {
    d.Say("cannot listen on " + h.listen);
    return false;
  }
  d.feed.Start();
  d.Say(std::string("dashboard on ") + (tls ? "https://" : "http://") + h.listen +
        (d.token.empty() ? " (read only: no token_file)" : ""));
  return true;
}

void HttpServer::NoteJournal(const std::string& line) { impl_->feed.NoteJournal(line); }

void HttpServer::Stop() {
  Impl& d = *impl_;
  if (d.daemon == nullptr) return;
  d.feed.Stop();  // ends every live stream, so the connection threads can end
  MHD_stop_daemon(d.daemon);
  d.daemon = nullptr;
}

}  // namespace quelvo::http
