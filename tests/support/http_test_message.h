#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <optional>

// One request as a test server or proxy received it.
struct TRecordedRequest {
  QByteArray Head; // request line and headers through the blank line, byte for byte
  QByteArray Method;
  QByteArray Target; // as in the request line: a path, an absolute URL or host:port
  QByteArray Version;
  QList<QPair<QByteArray, QByteArray>> Headers; // in the order sent, names as spelled
  QByteArray Body;

  QList<QByteArray> HeaderNames() const;
  // The first header of that name, matched without regard to case.
  std::optional<QByteArray> Header(const QByteArray& name) const;
  // The first query parameter of that name, still percent-encoded as sent.
  std::optional<QByteArray> QueryItem(const QByteArray& name) const;

  // Nothing when the head has no request line of three parts.
  static std::optional<TRecordedRequest> Parse(const QByteArray& head);
};

// An answer for a test server (or a proxy that answers itself) to send.
struct TTestResponse {
  enum class TEnding {
    Complete,          // the whole answer, then the connection closes
    CloseMidBody,      // the head and CutAfter bytes of the body, then close
    StallMidBody,      // the head and CutAfter bytes of the body, then nothing
    StallBeforeAnswer, // nothing at all; the connection stays open
  };

  QByteArray StatusLine = "HTTP/1.1 200 OK";
  QList<QByteArray> Headers; // whole lines without their line end: "Set-Cookie: a=b"
  QByteArray Body;
  TEnding Ending = TEnding::Complete;
  qsizetype CutAfter = 0;

  // 200 with a JSON body.
  static TTestResponse Ok(const QByteArray& body);
  static TTestResponse Status(int code, const QByteArray& reason, const QByteArray& body = {});
  static TTestResponse Redirect(const QByteArray& location);
  TTestResponse& WithHeader(const QByteArray& line);

  // The bytes on the wire: status line, the headers, Content-Length (unless
  // a header gives one) and "Connection: close", a blank line, the body.
  QByteArray Head() const;
};
