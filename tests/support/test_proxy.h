#pragma once

#include "http_test_message.h"

#include <QString>
#include <memory>
#include <mutex>
#include <optional>

class TLocalSocketLoop;

// A forward HTTP proxy on 127.0.0.1 for tests, on its own thread. It records
// every request as it arrived (absolute URL in the request line, every
// header), can demand Basic authentication with 407 until the configured user
// name and password come, and then forwards the request to its target, which
// must be an http URL on 127.0.0.1 (anything else gets 502: a test proxy
// never reaches another host), or answers itself. A CONNECT is recorded and
// answered with the self-answer, or 501 when none is set; no tunnel is made.
class TTestProxy {
public:
  TTestProxy();
  ~TTestProxy();
  TTestProxy(const TTestProxy&) = delete;
  TTestProxy& operator=(const TTestProxy&) = delete;

  quint16 Port() const;

  // 407 with "Proxy-Authenticate: Basic" to every request whose
  // Proxy-Authorization does not carry exactly these credentials.
  void RequireBasicAuth(const QByteArray& userName, const QByteArray& password);
  // 407 with a Digest challenge to every request: enough to see what the
  // client answers it with.
  void RequireDigestAuth();
  // Answer every accepted request with this instead of forwarding it.
  void SetResponse(const std::optional<TTestResponse>& response);

  QList<TRecordedRequest> Requests() const;
  qsizetype RequestCount() const;

private:
  void Serve(const TLocalSocketLoop& loop, int socket);
  void Forward(const TLocalSocketLoop& loop, int socket, const TRecordedRequest& request);

  mutable std::mutex FMutex;
  std::optional<QByteArray> FExpectedAuthorization;
  QByteArray FChallenge = "Basic realm=\"tralvesco-test\"";
  std::optional<TTestResponse> FResponse;
  QList<TRecordedRequest> FRequests;
  std::unique_ptr<TLocalSocketLoop> FLoop; // last: it stops before the rest goes
};
