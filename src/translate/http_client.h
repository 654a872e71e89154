#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <chrono>
#include <curl/curl.h>
#include <memory>

// What one GET brought back. Completed is true when an answer arrived, with
// any status; false when the exchange itself failed (no connection, broken
// transfer, time-out), and Error then holds the library's wording of why.
struct THttpResponse {
  bool Completed = false;
  long Status = 0;
  QByteArray StatusLine; // the final answer's status line, without its line end
  QByteArray Body;
  QString Error;
};

enum class THttpVersion { Http10, Http11 };

// The long-lived HTTP client of the main window. Its standing configuration
// never changes: cookies kept in memory between requests (never on disk),
// redirects not followed, proxy credentials sent only after the proxy has
// asked for them with a 407, and no header of the library's own beside Host
// and the cookie engine's Cookie. Not a QObject and bound to no thread, so a
// worker thread can run the request; one request at a time per client.
class THttpClient {
public:
  THttpClient();
  ~THttpClient();
  THttpClient(const THttpClient&) = delete;
  THttpClient& operator=(const THttpClient&) = delete;

  // Proxy properties; an empty server means a direct connection.
  QString ProxyServer() const { return FProxyServer; }
  void SetProxyServer(const QString& server) { FProxyServer = server; }
  int ProxyPort() const { return FProxyPort; }
  void SetProxyPort(int port) { FProxyPort = port; }
  // The credentials go to the proxy as bytes: as UTF-8 when given as text,
  // as they are when given as bytes (a value the settings file holds in a
  // legacy code page). Control characters are sent as blanks.
  QString ProxyUserName() const { return QString::fromUtf8(FProxyUserName); }
  void SetProxyUserName(const QString& userName) { FProxyUserName = userName.toUtf8(); }
  QString ProxyPassword() const { return QString::fromUtf8(FProxyPassword); }
  void SetProxyPassword(const QString& password) { FProxyPassword = password.toUtf8(); }
  QByteArray ProxyUserNameBytes() const { return FProxyUserName; }
  void SetProxyUserNameBytes(const QByteArray& userName) { FProxyUserName = userName; }
  QByteArray ProxyPasswordBytes() const { return FProxyPassword; }
  void SetProxyPasswordBytes(const QByteArray& password) { FProxyPassword = password; }

  // Request headers, sent in the order added, spelled as given.
  void ClearRequestHeaders() { FHeaders.clear(); }
  void AddRequestHeader(const QByteArray& name, const QByteArray& value);
  const QList<QPair<QByteArray, QByteArray>>& RequestHeaders() const { return FHeaders; }

  THttpVersion ProtocolVersion() const { return FVersion; }
  void SetProtocolVersion(THttpVersion version) { FVersion = version; }

  // Bounds on one exchange; reaching one is a failure like a refused
  // connection. Tests shorten them.
  std::chrono::milliseconds ConnectTimeout() const { return FConnectTimeout; }
  void SetConnectTimeout(std::chrono::milliseconds timeout) { FConnectTimeout = timeout; }
  std::chrono::milliseconds TotalTimeout() const { return FTotalTimeout; }
  void SetTotalTimeout(std::chrono::milliseconds timeout) { FTotalTimeout = timeout; }

  // An answer body larger than this ends the exchange as a failure, so a
  // server that never stops sending cannot exhaust memory.
  qsizetype MaxBodySize() const { return FMaxBodySize; }
  void SetMaxBodySize(qsizetype bytes) { FMaxBodySize = bytes; }

  // One blocking GET of an http or https URL.
  THttpResponse Get(const QByteArray& url);

private:
  struct TCurlDeleter {
    void operator()(CURL* curl) const;
  };
  struct TSlistDeleter {
    void operator()(curl_slist* list) const;
  };
  using TSlist = std::unique_ptr<curl_slist, TSlistDeleter>;

  static bool Append(TSlist& list, const QByteArray& line);
  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);

  TSlist FProxyHeaders;   // standing: suppresses the library's Proxy-Connection
  TSlist FRequestHeaders; // built from FHeaders for each request
  QList<QPair<QByteArray, QByteArray>> FHeaders;
  THttpVersion FVersion = THttpVersion::Http11;
  QString FProxyServer;
  int FProxyPort = 0;
  QByteArray FProxyUserName;
  QByteArray FProxyPassword;
  std::chrono::milliseconds FConnectTimeout{15000};
  std::chrono::milliseconds FTotalTimeout{60000};
  qsizetype FMaxBodySize = 64 * 1024 * 1024;

  THttpResponse* FCurrent = nullptr; // the answer being received
  bool FBodyTooLarge = false;
  char FErrorBuffer[CURL_ERROR_SIZE] = {};
  // Last, so it goes first: the handle points at the lists and the buffer.
  std::unique_ptr<CURL, TCurlDeleter> FCurl;
};
