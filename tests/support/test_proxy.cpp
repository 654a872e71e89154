#include "test_proxy.h"

#include "local_socket_loop.h"
#include "test_http_server.h"

#include <QUrl>
#include <unistd.h>

TTestProxy::TTestProxy()
    : FLoop(std::make_unique<TLocalSocketLoop>(
          [this](const TLocalSocketLoop& loop, int socket) { Serve(loop, socket); })) {}

TTestProxy::~TTestProxy() {
  FLoop.reset();
}

quint16 TTestProxy::Port() const {
  return FLoop->Port();
}

void TTestProxy::RequireBasicAuth(const QByteArray& userName, const QByteArray& password) {
  const std::lock_guard lock(FMutex);
  FExpectedAuthorization = "Basic " + (userName + ':' + password).toBase64();
}

void TTestProxy::RequireDigestAuth() {
  const std::lock_guard lock(FMutex);
  FExpectedAuthorization = QByteArray(); // no Digest answer is ever accepted
  FChallenge = "Digest realm=\"tralvesco-test\", nonce=\"4e6f6e6365\", qop=\"auth\"";
}

void TTestProxy::SetResponse(const std::optional<TTestResponse>& response) {
  const std::lock_guard lock(FMutex);
  FResponse = response;
}

QList<TRecordedRequest> TTestProxy::Requests() const {
  const std::lock_guard lock(FMutex);
  return FRequests;
}

qsizetype TTestProxy::RequestCount() const {
  const std::lock_guard lock(FMutex);
  return FRequests.size();
}

void TTestProxy::Serve(const TLocalSocketLoop& loop, int socket) {
  QByteArray rest;
  const std::optional<QByteArray> head = loop.ReadHead(socket, &rest);
  if (!head)
    return;
  const std::optional<TRecordedRequest> request = TRecordedRequest::Parse(*head);
  if (!request) {
    SendTestResponse(loop, socket, TTestResponse::Status(400, "Bad Request"));
    return;
  }
  std::optional<QByteArray> expected;
  std::optional<TTestResponse> ownAnswer;
  QByteArray challenge;
  {
    const std::lock_guard lock(FMutex);
    FRequests.append(*request);
    expected = FExpectedAuthorization;
    ownAnswer = FResponse;
    challenge = FChallenge;
  }
  if (expected && request->Header("Proxy-Authorization") != expected) {
    SendTestResponse(loop, socket,
                     TTestResponse::Status(407, "Proxy Authentication Required")
                         .WithHeader("Proxy-Authenticate: " + challenge));
    return;
  }
  if (ownAnswer)
    SendTestResponse(loop, socket, *ownAnswer);
  else if (request->Method == "CONNECT")
    SendTestResponse(loop, socket, TTestResponse::Status(501, "Not Implemented"));
  else
    Forward(loop, socket, *request);
}

void TTestProxy::Forward(const TLocalSocketLoop& loop, int socket,
                         const TRecordedRequest& request) {
  const QUrl target = QUrl::fromEncoded(request.Target, QUrl::StrictMode);
  if (target.scheme() != u"http" || target.host() != u"127.0.0.1" || target.port() <= 0) {
    SendTestResponse(loop, socket, TTestResponse::Status(502, "Bad Gateway"));
    return;
  }
  const int upstream = ConnectLocal(static_cast<quint16>(target.port()));
  if (upstream < 0) {
    SendTestResponse(loop, socket, TTestResponse::Status(502, "Bad Gateway"));
    return;
  }
  // Origin form for the server, taken from the raw bytes so nothing is
  // re-encoded on the way; the proxy's own headers stop here.
  const qsizetype authority = request.Target.indexOf("://") + 3;
  const qsizetype path = request.Target.indexOf('/', authority);
  QByteArray out = request.Method + ' ' + (path < 0 ? QByteArray("/") : request.Target.mid(path)) +
                   ' ' + request.Version + "\r\n";
  const QList<QByteArray> lines = request.Head.split('\n');
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray name = lines[i].left(lines[i].indexOf(':')).toLower();
    if (name != "proxy-authorization" && name != "proxy-connection" && !lines[i].isEmpty())
      out += lines[i] + '\n';
  }
  out += request.Body;
  QByteArray answer;
  if (loop.SendAll(upstream, out) && loop.ReadToEnd(upstream, &answer))
    loop.SendAll(socket, answer);
  ::close(upstream);
}
