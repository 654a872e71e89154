#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <chrono>
#include <curl/curl.h>
#include <memory>
#include <mutex>

// Why an exchange brought no answer.
enum class THttpFailure {
  None,
  Setup,      // the request could not be made (library, URL, memory)
  Proxy,      // the proxy settings cannot be used; nothing was sent
  Connection, // refused, broken, unresolved or nothing answered
  Timeout,    // a connect or total bound was reached
  Tls,        // the secure channel could not be set up
  TooLarge,   // the body passed the size cap
  Cancelled   // ended by THttpClient::Abort
};

// What one GET brought back. Completed is true when an answer arrived, with
// any status; false when the exchange itself failed (no connection, broken
// transfer, time-out), and Failure and Error then say why, Error in the
// library's words.
struct THttpResponse {
  bool Completed = false;
  THttpFailure Failure = THttpFailure::None;
  long Status = 0;
  QByteArray StatusLine; // the final answer's status line, without its line end
  QByteArray Body;
  QString Error;
  bool Aborted = false; // ended by THttpClient::Abort
};

enum class THttpVersion { Http10, Http11 };

// How a request is sent: everything besides the URL and the connection.
// A plain value, so the thread that prepares a request can hand it to the
// thread that runs it.
struct THttpSettings {
  QList<QPair<QByteArray, QByteArray>> Headers; // in the order sent, spelled as given
  THttpVersion Version = THttpVersion::Http11;
  QString ProxyServer; // empty: a direct connection
  int ProxyPort = 0;
  // Set when a proxy is required but its settings cannot be used: no
  // request is sent, and this says why.
  QString ProxyFault;
  QByteArray ProxyUserName; // as sent
  QByteArray ProxyPassword;
  std::chrono::milliseconds ConnectTimeout{15000};
  std::chrono::milliseconds TotalTimeout{60000};
  qsizetype MaxBodySize = 64 * 1024 * 1024;
};

// The long-lived HTTP client of the main window. Its standing configuration
// never changes: cookies kept in memory between requests (never on disk),
// redirects not followed, proxy credentials sent only after the proxy has
// asked for them with a 407, and no header of the library's own beside Host
// and the cookie engine's Cookie. Not a QObject and bound to no thread, so a
// worker thread can run the request; one request at a time per client. The
// setters below keep the settings that Settings() hands out; they belong to
// the thread that prepares requests.
class THttpClient {
public:
  THttpClient();
  ~THttpClient();
  THttpClient(const THttpClient&) = delete;
  THttpClient& operator=(const THttpClient&) = delete;

  // Proxy properties; an empty server means a direct connection.
  QString ProxyServer() const { return FSettings.ProxyServer; }
  void SetProxyServer(const QString& server) { FSettings.ProxyServer = server; }
  int ProxyPort() const { return FSettings.ProxyPort; }
  void SetProxyPort(int port) { FSettings.ProxyPort = port; }
  // Non-empty: the proxy settings cannot be used and every GET fails unsent.
  QString ProxyFault() const { return FSettings.ProxyFault; }
  void SetProxyFault(const QString& why) { FSettings.ProxyFault = why; }
  // The credentials go to the proxy as bytes: as UTF-8 when given as text,
  // as they are when given as bytes (a value the settings file holds in a
  // legacy code page). Control characters are sent as blanks.
  QString ProxyUserName() const { return QString::fromUtf8(FSettings.ProxyUserName); }
  void SetProxyUserName(const QString& userName) { FSettings.ProxyUserName = userName.toUtf8(); }
  QString ProxyPassword() const { return QString::fromUtf8(FSettings.ProxyPassword); }
  void SetProxyPassword(const QString& password) { FSettings.ProxyPassword = password.toUtf8(); }
  QByteArray ProxyUserNameBytes() const { return FSettings.ProxyUserName; }
  void SetProxyUserNameBytes(const QByteArray& userName) { FSettings.ProxyUserName = userName; }
  QByteArray ProxyPasswordBytes() const { return FSettings.ProxyPassword; }
  void SetProxyPasswordBytes(const QByteArray& password) { FSettings.ProxyPassword = password; }

  // Request headers, sent in the order added, spelled as given.
  void ClearRequestHeaders() { FSettings.Headers.clear(); }
  void AddRequestHeader(const QByteArray& name, const QByteArray& value);
  const QList<QPair<QByteArray, QByteArray>>& RequestHeaders() const { return FSettings.Headers; }

  THttpVersion ProtocolVersion() const { return FSettings.Version; }
  void SetProtocolVersion(THttpVersion version) { FSettings.Version = version; }

  // Bounds on one exchange; reaching one is a failure like a refused
  // connection. Tests shorten them.
  std::chrono::milliseconds ConnectTimeout() const { return FSettings.ConnectTimeout; }
  void SetConnectTimeout(std::chrono::milliseconds timeout) { FSettings.ConnectTimeout = timeout; }
  std::chrono::milliseconds TotalTimeout() const { return FSettings.TotalTimeout; }
  void SetTotalTimeout(std::chrono::milliseconds timeout) { FSettings.TotalTimeout = timeout; }

  // An answer body larger than this ends the exchange as a failure, so a
  // server that never stops sending cannot exhaust memory.
  qsizetype MaxBodySize() const { return FSettings.MaxBodySize; }
  void SetMaxBodySize(qsizetype bytes) { FSettings.MaxBodySize = bytes; }

  // A copy of the settings above, for a request run elsewhere.
  THttpSettings Settings() const { return FSettings; }

  // One blocking GET of an http or https URL, with the settings above.
  THttpResponse Get(const QByteArray& url);
  // The same with settings handed over by value; reads nothing else of the
  // client but its connection and cookies.
  THttpResponse Get(const QByteArray& url, const THttpSettings& settings);

  // Ends the GET under way at once, and any GET started until ClearAbort():
  // it fails with Aborted set. Safe to call from any thread.
  void Abort();
  void ClearAbort() { FAbort = false; }

private:
  struct TCurlDeleter {
    void operator()(CURL* curl) const;
  };
  struct TMultiDeleter {
    void operator()(CURLM* multi) const;
  };
  struct TSlistDeleter {
    void operator()(curl_slist* list) const;
  };
  using TSlist = std::unique_ptr<curl_slist, TSlistDeleter>;

  static bool Append(TSlist& list, const QByteArray& line);
  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
  // Opens the library and makes the handles on the first request, so a
  // client costs nothing until it is used. False when the library is missing.
  bool MakeHandles();
  // Runs the prepared transfer; ends it early when Abort() is called.
  CURLcode Perform();

  THttpSettings FSettings;
  TSlist FProxyHeaders;   // standing: suppresses the library's Proxy-Connection
  TSlist FRequestHeaders; // built from the headers for each request

  THttpResponse* FCurrent = nullptr; // the answer being received
  qsizetype FCurrentMaxBody = 0;
  bool FBodyTooLarge = false;
  std::atomic<bool> FAbort = false;
  char FErrorBuffer[CURL_ERROR_SIZE] = {};
  // The transfer runs in a multi handle only so that Abort() can wake its
  // wait at once; the easy handle leaves it after every transfer.
  std::unique_ptr<CURLM, TMultiDeleter> FMulti;
  std::mutex FMultiMutex; // between MakeHandles and Abort
  // Last, so it goes first: the handle points at the lists and the buffer.
  std::unique_ptr<CURL, TCurlDeleter> FCurl;
};
