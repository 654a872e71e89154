#include "translate/http_client.h"

#include "settings/proxy_policy.h"
#include "translate/curl_library.h"

namespace {

// libcurl refuses longer strings in curl_easy_setopt.
constexpr qsizetype MaxUrlLength = 8000000;

QByteArray OneLine(QByteArray text) {
  text.replace('\r', ' ');
  text.replace('\n', ' ');
  return text;
}

// A control character in a credential would reach the wire inside a Digest
// header line (a carriage return ends it); Basic hides it in base64, but the
// proxy would still compare it. Blanks keep the length and the rest intact.
QByteArray WithoutControls(QByteArray text) {
  for (char& c : text)
    if (static_cast<uchar>(c) < 0x20 || c == 0x7F)
      c = ' ';
  return text;
}

THttpFailure FailureOf(CURLcode result) {
  switch (result) {
  case CURLE_OPERATION_TIMEDOUT:
    return THttpFailure::Timeout;
  case CURLE_SSL_CONNECT_ERROR:
  case CURLE_PEER_FAILED_VERIFICATION:
  case CURLE_SSL_CERTPROBLEM:
  case CURLE_SSL_CIPHER:
  case CURLE_SSL_CACERT_BADFILE:
  case CURLE_SSL_ENGINE_NOTFOUND:
  case CURLE_SSL_ENGINE_SETFAILED:
  case CURLE_SSL_ENGINE_INITFAILED:
  case CURLE_SSL_SHUTDOWN_FAILED:
  case CURLE_SSL_CRL_BADFILE:
  case CURLE_SSL_ISSUER_ERROR:
  case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
  case CURLE_SSL_INVALIDCERTSTATUS:
  case CURLE_SSL_CLIENTCERT:
  case CURLE_USE_SSL_FAILED:
    return THttpFailure::Tls;
  case CURLE_FAILED_INIT:
  case CURLE_OUT_OF_MEMORY:
  case CURLE_URL_MALFORMAT:
  case CURLE_UNSUPPORTED_PROTOCOL:
  case CURLE_BAD_FUNCTION_ARGUMENT:
    return THttpFailure::Setup;
  default:
    return THttpFailure::Connection;
  }
}

} // namespace

// A handle or a list exists only when the library does.
void THttpClient::TCurlDeleter::operator()(CURL* curl) const {
  Curl()->EasyCleanup(curl);
}

void THttpClient::TMultiDeleter::operator()(CURLM* multi) const {
  Curl()->MultiCleanup(multi);
}

void THttpClient::TSlistDeleter::operator()(curl_slist* list) const {
  Curl()->SlistFreeAll(list);
}

bool THttpClient::Append(TSlist& list, const QByteArray& line) {
  curl_slist* grown = Curl()->SlistAppend(list.get(), line.constData());
  if (!grown)
    return false; // the list is as it was
  (void)list.release();
  list.reset(grown);
  return true;
}

THttpClient::THttpClient() = default;

bool THttpClient::MakeHandles() {
  if (FCurl)
    return true;
  const TCurlLibrary* curl = Curl();
  if (!curl)
    return false;
  std::unique_ptr<CURLM, TMultiDeleter> multi(curl->MultiInit());
  std::unique_ptr<CURL, TCurlDeleter> easy(curl->EasyInit());
  if (!multi || !easy)
    return false;
  const auto setopt = curl->EasySetopt;
  CURL* c = easy.get();
  // The empty name starts the in-memory cookie engine without reading a file.
  setopt(c, CURLOPT_COOKIEFILE, "");
  setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  // libcurl's alarm-signal time-outs are unsafe off the main thread; its
  // threaded resolver bounds a name lookup without them.
  setopt(c, CURLOPT_NOSIGNAL, 1L);
  // More than one method: libcurl waits for the proxy's 407 to learn which
  // one it wants instead of sending Basic credentials up front.
  setopt(c, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC | CURLAUTH_DIGEST));
  setopt(c, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
  // An empty exception list also keeps libcurl from reading no_proxy from
  // the environment.
  setopt(c, CURLOPT_NOPROXY, "");
  // The request headers go to the service only, never into a tunnel's
  // CONNECT; the proxy gets just the empty Proxy-Connection, which removes
  // the Keep-Alive line libcurl would otherwise add.
  setopt(c, CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE));
  FProxyHeaders.reset(curl->SlistAppend(nullptr, "Proxy-Connection:"));
  setopt(c, CURLOPT_PROXYHEADER, FProxyHeaders.get());
  setopt(c, CURLOPT_ERRORBUFFER, FErrorBuffer);
  setopt(c, CURLOPT_HEADERFUNCTION, &THttpClient::OnHeader);
  setopt(c, CURLOPT_HEADERDATA, this);
  setopt(c, CURLOPT_WRITEFUNCTION, &THttpClient::OnBody);
  setopt(c, CURLOPT_WRITEDATA, this);
  const std::lock_guard lock(FMultiMutex);
  FMulti = std::move(multi);
  FCurl = std::move(easy);
  return true;
}

THttpClient::~THttpClient() = default;

void THttpClient::AddRequestHeader(const QByteArray& name, const QByteArray& value) {
  // A line break would end the header and start another one of the caller's
  // choosing.
  FSettings.Headers.append({OneLine(name), OneLine(value)});
}

void THttpClient::Abort() {
  FAbort = true;
  // Wakes the transfer's wait; the one thing libcurl lets another thread do.
  // The handles may be in the making on the thread that runs the request.
  const std::lock_guard lock(FMultiMutex);
  if (FMulti)
    Curl()->MultiWakeup(FMulti.get());
}

std::size_t THttpClient::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
  auto* client = static_cast<THttpClient*>(self);
  const std::size_t n = size * count;
  QByteArray line(data, static_cast<qsizetype>(n));
  // Every answer starts with its status line: a 407 before the accepted
  // request, or a tunnel's own answer, is followed by another one.
  if (line.startsWith("HTTP/")) {
    while (line.endsWith('\n') || line.endsWith('\r'))
      line.chop(1);
    client->FCurrent->StatusLine = line;
    client->FCurrent->Body.clear();
  }
  return n;
}

std::size_t THttpClient::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
  auto* client = static_cast<THttpClient*>(self);
  const auto n = static_cast<qsizetype>(size * count);
  QByteArray& body = client->FCurrent->Body;
  if (body.size() + n > client->FCurrentMaxBody) {
    client->FBodyTooLarge = true;
    return 0; // libcurl ends the transfer
  }
  body.append(data, n);
  return static_cast<std::size_t>(n);
}

CURLcode THttpClient::Perform() {
  const TCurlLibrary* curl = Curl();
  CURLM* multi = FMulti.get();
  CURL* c = FCurl.get();
  if (curl->MultiAddHandle(multi, c) != CURLM_OK)
    return CURLE_FAILED_INIT;
  CURLcode result = CURLE_OK;
  for (;;) {
    if (FAbort) {
      result = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    int running = 0;
    if (curl->MultiPerform(multi, &running) != CURLM_OK) {
      result = CURLE_FAILED_INIT;
      break;
    }
    if (running == 0) {
      int left = 0;
      const CURLMsg* message = curl->MultiInfoRead(multi, &left);
      result = message && message->msg == CURLMSG_DONE ? message->data.result : CURLE_FAILED_INIT;
      break;
    }
    // libcurl shortens the wait for its own time-outs; Abort() ends it.
    if (curl->MultiPoll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK) {
      result = CURLE_FAILED_INIT;
      break;
    }
  }
  // Also drops a connection still waiting for its answer.
  curl->MultiRemoveHandle(multi, c);
  return result;
}

THttpResponse THttpClient::Get(const QByteArray& url) {
  return Get(url, FSettings);
}

THttpResponse THttpClient::Get(const QByteArray& url, const THttpSettings& settings) {
  THttpResponse response;
  auto fail = [&response](THttpFailure kind, const QString& why) {
    response.Failure = kind;
    response.Error = why;
    return response;
  };
  if (!MakeHandles())
    return fail(THttpFailure::Setup, QStringLiteral("The HTTP library could not be initialised"));
  const auto setopt = Curl()->EasySetopt;
  if (url.size() > MaxUrlLength)
    return fail(THttpFailure::Setup,
                QStringLiteral("The request is too long to send (%1 bytes)").arg(url.size()));
  // A required proxy that cannot be used sends nothing, rather than letting
  // the request go anywhere else.
  if (!settings.ProxyFault.isEmpty())
    return fail(THttpFailure::Proxy, settings.ProxyFault);
  if (!settings.ProxyServer.isEmpty()) {
    const TProxyRoute route =
        ProxyRoute(false, settings.ProxyServer, QString::number(settings.ProxyPort));
    if (!route.Usable())
      return fail(THttpFailure::Proxy, route.Message);
  }

  CURL* c = FCurl.get();
  TSlist headers;
  bool hasAccept = false;
  bool built = true;
  for (const auto& [name, value] : settings.Headers) {
    // "Name;" is libcurl's spelling of a header sent with an empty value;
    // "Name:" would remove it.
    built = built && Append(headers, value.isEmpty() ? name + ';' : name + ": " + value);
    hasAccept = hasAccept || name.compare("Accept", Qt::CaseInsensitive) == 0;
  }
  // libcurl sends "Accept: */*" of its own unless told otherwise; an empty
  // one removes it.
  if (!hasAccept)
    built = built && Append(headers, "Accept:");
  if (!built)
    return fail(THttpFailure::Setup, QStringLiteral("Out of memory"));
  setopt(c, CURLOPT_HTTPHEADER, headers.get());
  FRequestHeaders = std::move(headers);

  setopt(c, CURLOPT_URL, url.constData());
  setopt(c, CURLOPT_HTTP_VERSION,
         static_cast<long>(settings.Version == THttpVersion::Http11 ? CURL_HTTP_VERSION_1_1
                                                                    : CURL_HTTP_VERSION_1_0));
  // An empty proxy also keeps libcurl from taking one from the environment.
  const QByteArray proxy = settings.ProxyServer.toUtf8();
  setopt(c, CURLOPT_PROXY, proxy.constData());
  setopt(c, CURLOPT_PROXYPORT, static_cast<long>(settings.ProxyPort));
  const QByteArray user = WithoutControls(settings.ProxyUserName);
  const QByteArray password = WithoutControls(settings.ProxyPassword);
  const bool withCredentials = !proxy.isEmpty() && !user.isEmpty();
  setopt(c, CURLOPT_PROXYUSERNAME, withCredentials ? user.constData() : nullptr);
  setopt(c, CURLOPT_PROXYPASSWORD, withCredentials ? password.constData() : nullptr);
  setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.ConnectTimeout.count()));
  setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(settings.TotalTimeout.count()));

  FErrorBuffer[0] = '\0';
  FBodyTooLarge = false;
  FCurrent = &response;
  FCurrentMaxBody = settings.MaxBodySize;
  const CURLcode result = Perform();
  FCurrent = nullptr;

  if (result != CURLE_OK) {
    response.Body.clear();
    if (FAbort) {
      response.Aborted = true;
      return fail(THttpFailure::Cancelled, QStringLiteral("The request was cancelled"));
    }
    if (FBodyTooLarge)
      return fail(THttpFailure::TooLarge,
                  QStringLiteral("The answer is larger than %1 bytes").arg(settings.MaxBodySize));
    return fail(FailureOf(result),
                QString::fromUtf8(FErrorBuffer[0] ? FErrorBuffer : Curl()->EasyStrerror(result)));
  }
  response.Completed = true;
  Curl()->EasyGetinfo(c, CURLINFO_RESPONSE_CODE, &response.Status);
  return response;
}
