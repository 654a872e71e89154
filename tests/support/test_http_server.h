#pragma once

#include "http_test_message.h"

#include <QString>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class TLocalSocketLoop;

// An HTTP server on 127.0.0.1 for tests, on its own thread, so the client
// under test may block the test's thread. It records every request, byte for
// byte, and answers each with the next queued answer, or else with the
// handler's, or else 200 with an empty body. One connection at a time, one
// request per connection. The destructor stops it, also in mid-stall.
//
//   TTestHttpServer server;
//   server.Enqueue(TTestResponse::Ok(R"({"sentences":[{"trans":"x"}]})"));
//   Params.Server = server.Url();
//   ... TranslateText(...) ...
//   server.Requests()[0].Header("Cookie");
class TTestHttpServer {
public:
  using THandler = std::function<TTestResponse(const TRecordedRequest&)>;

  TTestHttpServer();
  ~TTestHttpServer();
  TTestHttpServer(const TTestHttpServer&) = delete;
  TTestHttpServer& operator=(const TTestHttpServer&) = delete;

  quint16 Port() const;
  QString Url() const; // "http://127.0.0.1:<port>", no trailing slash

  // Answers, in order, for the next requests; the handler serves the rest.
  void Enqueue(const TTestResponse& response);
  void SetHandler(THandler handler);
  // The same answer for every request not served by the queue.
  void SetResponse(const TTestResponse& response);

  QList<TRecordedRequest> Requests() const;
  qsizetype RequestCount() const;
  void ClearRequests();
  // True once count requests have arrived; false after the timeout.
  bool WaitForRequests(qsizetype count, std::chrono::milliseconds timeout) const;

private:
  void Serve(const TLocalSocketLoop& loop, int socket);
  TTestResponse AnswerFor(const TRecordedRequest& request);

  mutable std::mutex FMutex;
  mutable std::condition_variable FArrived;
  std::deque<TTestResponse> FQueue;
  THandler FHandler;
  QList<TRecordedRequest> FRequests;
  std::unique_ptr<TLocalSocketLoop> FLoop; // last: it stops before the rest goes
};

// Sends an answer the way its Ending asks. Shared by the server and the proxy.
void SendTestResponse(const TLocalSocketLoop& loop, int socket, const TTestResponse& response);
