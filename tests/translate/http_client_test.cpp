#include "local_socket_loop.h"
#include "test_http_server.h"
#include "translate/http_client.h"

#include "qt_test_printers.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

TEST(HttpClient, AddsNoHeaderOfItsOwnBesideHost) {
  TTestHttpServer server;
  THttpClient http;
  const THttpResponse response = http.Get(server.Url().toUtf8() + "/p?q=1");
  EXPECT_TRUE(response.Completed);
  EXPECT_EQ(response.Status, 200);
  ASSERT_EQ(server.RequestCount(), 1);
  EXPECT_EQ(server.Requests()[0].Head, "GET /p?q=1 HTTP/1.1\r\nHost: 127.0.0.1:" +
                                           QByteArray::number(server.Port()) + "\r\n\r\n");
}

TEST(HttpClient, HeadersKeepTheirSpellingAndCannotSmuggleLines) {
  TTestHttpServer server;
  THttpClient http;
  http.AddRequestHeader("x-MiXeD", "Value");
  http.AddRequestHeader("X-Empty", "");
  http.AddRequestHeader("X-Evil", "a\r\nInjected: yes");
  http.Get(server.Url().toUtf8() + '/');
  ASSERT_EQ(server.RequestCount(), 1);
  const TRecordedRequest request = server.Requests()[0];
  EXPECT_TRUE(request.Head.contains("\r\nx-MiXeD: Value\r\n"));
  EXPECT_TRUE(request.Head.contains("\r\nX-Empty:\r\n"));
  EXPECT_FALSE(request.Header("Injected"));
}

TEST(HttpClient, ProtocolVersionNamesTheRequestLine) {
  TTestHttpServer server;
  THttpClient http;
  http.SetProtocolVersion(THttpVersion::Http10);
  http.Get(server.Url().toUtf8() + '/');
  http.SetProtocolVersion(THttpVersion::Http11);
  http.Get(server.Url().toUtf8() + '/');
  ASSERT_EQ(server.RequestCount(), 2);
  EXPECT_EQ(server.Requests()[0].Version, "HTTP/1.0");
  EXPECT_EQ(server.Requests()[1].Version, "HTTP/1.1");
}

TEST(HttpClient, SchemesOtherThanHttpAreRefused) {
  THttpClient http;
  const THttpResponse response = http.Get("file:///etc/hostname");
  EXPECT_FALSE(response.Completed);
  EXPECT_FALSE(response.Error.isEmpty());
  EXPECT_TRUE(response.Body.isEmpty());
}

TEST(HttpClient, FailedExchangeKeepsNoPartialBody) {
  TTestHttpServer server;
  TTestResponse broken = TTestResponse::Ok("0123456789");
  broken.Ending = TTestResponse::TEnding::CloseMidBody;
  broken.CutAfter = 4;
  server.Enqueue(broken);
  THttpClient http;
  const THttpResponse response = http.Get(server.Url().toUtf8() + '/');
  EXPECT_FALSE(response.Completed);
  EXPECT_TRUE(response.Body.isEmpty());
  EXPECT_FALSE(response.Error.isEmpty());
}

// A server that takes the request and never answers; the client keeps its
// long default time-out.
TEST(HttpClient, AbortEndsAStalledExchangeAtOnceAndHoldsUntilCleared) {
  TTestHttpServer server;
  TTestResponse stall;
  stall.Ending = TTestResponse::TEnding::StallBeforeAnswer;
  server.Enqueue(stall);
  const QByteArray url = server.Url().toUtf8() + '/';
  THttpClient http;
  THttpResponse stalled;
  std::thread worker([&] { stalled = http.Get(url); });
  ASSERT_TRUE(server.WaitForRequests(1, 10s));
  const auto asked = std::chrono::steady_clock::now();
  http.Abort();
  worker.join();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s);
  EXPECT_FALSE(stalled.Completed);
  EXPECT_TRUE(stalled.Aborted);
  EXPECT_FALSE(stalled.Error.isEmpty());

  // An abort that comes before the request starts is not lost.
  EXPECT_TRUE(http.Get(url).Aborted);
  EXPECT_EQ(server.RequestCount(), 1);

  http.ClearAbort();
  const THttpResponse next = http.Get(url);
  EXPECT_TRUE(next.Completed);
  EXPECT_FALSE(next.Aborted);
  EXPECT_EQ(next.Status, 200);
  EXPECT_EQ(server.RequestCount(), 2);
}

} // namespace
