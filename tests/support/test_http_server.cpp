#include "test_http_server.h"

#include "local_socket_loop.h"

void SendTestResponse(const TLocalSocketLoop& loop, int socket, const TTestResponse& response) {
  using TEnding = TTestResponse::TEnding;
  if (response.Ending == TEnding::StallBeforeAnswer) {
    loop.WaitForPeerClose(socket);
    return;
  }
  const bool cut = response.Ending != TEnding::Complete;
  const QByteArray body = cut ? response.Body.left(response.CutAfter) : response.Body;
  if (!loop.SendAll(socket, response.Head() + body))
    return;
  if (response.Ending == TEnding::StallMidBody)
    loop.WaitForPeerClose(socket);
}

TTestHttpServer::TTestHttpServer()
    : FLoop(std::make_unique<TLocalSocketLoop>(
          [this](const TLocalSocketLoop& loop, int socket) { Serve(loop, socket); })) {}

TTestHttpServer::~TTestHttpServer() {
  FLoop.reset();
}

quint16 TTestHttpServer::Port() const {
  return FLoop->Port();
}

QString TTestHttpServer::Url() const {
  return QStringLiteral("http://127.0.0.1:%1").arg(Port());
}

void TTestHttpServer::Enqueue(const TTestResponse& response) {
  const std::lock_guard lock(FMutex);
  FQueue.push_back(response);
}

void TTestHttpServer::SetHandler(THandler handler) {
  const std::lock_guard lock(FMutex);
  FHandler = std::move(handler);
}

void TTestHttpServer::SetResponse(const TTestResponse& response) {
  SetHandler([response](const TRecordedRequest&) { return response; });
}

QList<TRecordedRequest> TTestHttpServer::Requests() const {
  const std::lock_guard lock(FMutex);
  return FRequests;
}

qsizetype TTestHttpServer::RequestCount() const {
  const std::lock_guard lock(FMutex);
  return FRequests.size();
}

void TTestHttpServer::ClearRequests() {
  const std::lock_guard lock(FMutex);
  FRequests.clear();
}

bool TTestHttpServer::WaitForRequests(qsizetype count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(FMutex);
  return FArrived.wait_for(lock, timeout, [&] { return FRequests.size() >= count; });
}

TTestResponse TTestHttpServer::AnswerFor(const TRecordedRequest& request) {
  THandler handler;
  {
    const std::lock_guard lock(FMutex);
    if (!FQueue.empty()) {
      TTestResponse next = FQueue.front();
      FQueue.pop_front();
      return next;
    }
    handler = FHandler;
  }
  return handler ? handler(request) : TTestResponse();
}

void TTestHttpServer::Serve(const TLocalSocketLoop& loop, int socket) {
  QByteArray rest;
  const std::optional<QByteArray> head = loop.ReadHead(socket, &rest);
  if (!head)
    return;
  std::optional<TRecordedRequest> request = TRecordedRequest::Parse(*head);
  if (!request) {
    SendTestResponse(loop, socket, TTestResponse::Status(400, "Bad Request"));
    return;
  }
  const qsizetype length = request->Header("Content-Length").value_or("0").toLongLong();
  if (length > 0 && loop.ReadExactly(socket, &rest, length))
    request->Body = rest.left(length);
  {
    const std::lock_guard lock(FMutex);
    FRequests.append(*request);
  }
  FArrived.notify_all();
  SendTestResponse(loop, socket, AnswerFor(*request));
}
