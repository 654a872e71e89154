#include "http_test_message.h"

QList<QByteArray> TRecordedRequest::HeaderNames() const {
  QList<QByteArray> names;
  for (const auto& header : Headers)
    names.append(header.first);
  return names;
}

std::optional<QByteArray> TRecordedRequest::Header(const QByteArray& name) const {
  for (const auto& [n, value] : Headers)
    if (n.compare(name, Qt::CaseInsensitive) == 0)
      return value;
  return std::nullopt;
}

std::optional<QByteArray> TRecordedRequest::QueryItem(const QByteArray& name) const {
  const qsizetype question = Target.indexOf('?');
  if (question < 0)
    return std::nullopt;
  for (const QByteArray& item : Target.mid(question + 1).split('&')) {
    const qsizetype equals = item.indexOf('=');
    if (item.left(equals < 0 ? item.size() : equals) == name)
      return equals < 0 ? QByteArray() : item.mid(equals + 1);
  }
  return std::nullopt;
}

std::optional<TRecordedRequest> TRecordedRequest::Parse(const QByteArray& head) {
  TRecordedRequest request;
  request.Head = head;
  QList<QByteArray> lines = head.split('\n');
  for (QByteArray& line : lines)
    if (line.endsWith('\r'))
      line.chop(1);
  if (lines.isEmpty())
    return std::nullopt;
  const QList<QByteArray> parts = lines.front().split(' ');
  if (parts.size() != 3)
    return std::nullopt;
  request.Method = parts[0];
  request.Target = parts[1];
  request.Version = parts[2];
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const qsizetype colon = lines[i].indexOf(':');
    if (colon > 0)
      request.Headers.append({lines[i].left(colon), lines[i].mid(colon + 1).trimmed()});
  }
  return request;
}

TTestResponse TTestResponse::Ok(const QByteArray& body) {
  TTestResponse response;
  response.Headers.append("Content-Type: application/json; charset=UTF-8");
  response.Body = body;
  return response;
}

TTestResponse TTestResponse::Status(int code, const QByteArray& reason, const QByteArray& body) {
  TTestResponse response;
  response.StatusLine = "HTTP/1.1 " + QByteArray::number(code) + ' ' + reason;
  response.Body = body;
  return response;
}

TTestResponse TTestResponse::Redirect(const QByteArray& location) {
  return Status(302, "Found").WithHeader("Location: " + location);
}

TTestResponse& TTestResponse::WithHeader(const QByteArray& line) {
  Headers.append(line);
  return *this;
}

QByteArray TTestResponse::Head() const {
  QByteArray head = StatusLine + "\r\n";
  bool hasLength = false;
  for (const QByteArray& line : Headers) {
    head += line + "\r\n";
    hasLength = hasLength || line.toLower().startsWith("content-length:");
  }
  if (!hasLength)
    head += "Content-Length: " + QByteArray::number(Body.size()) + "\r\n";
  head += "Connection: close\r\n\r\n";
  return head;
}
