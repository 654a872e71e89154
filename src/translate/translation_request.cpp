#include "translate/translation_request.h"

#include "translate/http_client.h"
#include "translate/url_encode.h"

#include "core/app_error.h"
#include "core/product_info.h"
#include "settings/settings.h"

#include "settings/ini_file.h"
#include "settings/legacy_text.h"
#include "settings/proxy_policy.h"

#include <QStringDecoder>
#include <QUrl>
#include <algorithm>

namespace {

const QByteArray UserAgent = "Mozilla/5.0 (Windows; U; Windows NT 6.1; en-US) AppleWebKit/534.13 "
                             "(KHTML, like Gecko) Chrome/9.0.597.67 Safari/534";

std::optional<QString> DecodeUtf8(const QByteArray& body) {
  // Stateless: a sequence cut off at the end of the body is an error too,
  // not something kept for a next chunk that never comes.
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(body);
  if (decoder.hasError())
    return std::nullopt;
  return text;
}

TTranslationFailure KindOf(THttpFailure failure) {
  switch (failure) {
  case THttpFailure::None:
  case THttpFailure::Setup:
    return TTranslationFailure::Request;
  case THttpFailure::Proxy:
    return TTranslationFailure::Proxy;
  case THttpFailure::Connection:
    return TTranslationFailure::Connection;
  case THttpFailure::Timeout:
    return TTranslationFailure::Timeout;
  case THttpFailure::Tls:
    return TTranslationFailure::Tls;
  case THttpFailure::TooLarge:
    return TTranslationFailure::TooLarge;
  case THttpFailure::Cancelled:
    return TTranslationFailure::Cancelled;
  }
  return TTranslationFailure::Connection;
}

// A credential as the settings file holds it, when the record still shows
// that value; what the user typed is sent as UTF-8.
QByteArray CredentialBytes(const QString& shown, const QByteArray& stored) {
  if (!stored.isEmpty() && !IsValidUtf8(stored) && TIniText::DecodeLegacyValue(stored) == shown)
    return stored;
  return shown.toUtf8();
}

} // namespace

std::optional<QByteArray> ServiceAddress(const QString& server) {
  const QString trimmed = server.trimmed();
  if (trimmed.isEmpty())
    return DefaultServiceAddress.toUtf8();
  const QUrl url(trimmed, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty() ||
      !url.userInfo().isEmpty() || (!url.path().isEmpty() && url.path() != u"/") ||
      url.hasQuery() || url.hasFragment() || url.port() == 0)
    return std::nullopt;
  return url.adjusted(QUrl::RemovePath).toEncoded();
}

QByteArray TranslationUrl(const QByteArray& serviceAddress, const QString& text,
                          const QString& sourceCode, const QString& targetCode) {
  const QByteArray encoded = UrlEncode(text.toUtf8());
  const QByteArray sl = sourceCode.toUtf8();
  const QByteArray tl = targetCode.toUtf8();
  QByteArray url;
  url.reserve(serviceAddress.size() + encoded.size() + sl.size() + tl.size() + 40);
  url += serviceAddress;
  url += "/translate_a/t?client=o&text=";
  url += encoded;
  url += "&sl=";
  url += sl;
  url += "&tl=";
  url += tl;
  return url;
}

void SetRequestHeaders(THttpClient& http) {
  http.ClearRequestHeaders();
  http.AddRequestHeader("Connection", "close");
  // Sent although a GET has no body: the service has always seen it.
  http.AddRequestHeader("Content-Type", "application/x-www-form-urlencoded");
  http.AddRequestHeader("Cache-control", "no-cache");
  http.AddRequestHeader("Pragma", "no-cache");
  http.AddRequestHeader("Accept", "*/*");
  http.AddRequestHeader("Accept-Language", "en");
  http.AddRequestHeader("Referer", ProductInfo::HomePage.toUtf8());
  http.AddRequestHeader("User-Agent", UserAgent);
  http.SetProtocolVersion(THttpVersion::Http11);
}

void ApplyProxySettings(THttpClient& http) {
  const TProxyRoute route = ProxyRoute(Params.NoProxy, Params.Address, Params.Port);
  http.SetProxyFault({});
  if (route.Direct) {
    http.SetProxyServer({});
    http.SetProxyPort(0);
    http.SetProxyUserName({});
    http.SetProxyPassword({});
    return;
  }
  if (!route.Host) {
    http.SetProxyFault(route.Message);
    throw ETralvescoError(route.Message);
  }
  http.SetProxyServer(*route.Host);
  if (!route.Port || !route.Usable()) {
    http.SetProxyFault(route.Message);
    throw ETralvescoError(route.Message);
  }
  http.SetProxyPort(*route.Port);
  http.SetProxyUserNameBytes(CredentialBytes(Params.UserName, Params.StoredUserName));
  http.SetProxyPasswordBytes(CredentialBytes(Params.Password, Params.StoredPassword));
}

TTranslationRequest PrepareTranslation(const THttpClient& http, const QString& server,
                                       const QString& text, const QString& sourceCode,
                                       const QString& targetCode) {
  TTranslationRequest request;
  // Even running out of memory for a huge text must come back as a text: the
  // caller shows failures, it does not catch them.
  try {
    request.Http = http.Settings();
    request.Http.MaxBodySize = std::min(request.Http.MaxBodySize, MaxTranslationReplyBytes);
    if (const std::optional<QByteArray> address = ServiceAddress(server))
      request.Url = TranslationUrl(*address, text, sourceCode, targetCode);
    else
      request.Failure =
          QStringLiteral("'%1' is not a valid translation server address").arg(server);
  } catch (const std::exception& e) {
    request.Url.clear();
    request.Failure = QString::fromLocal8Bit(e.what());
  }
  return request;
}

TTranslationReply TranslateText(THttpClient& http, const TTranslationRequest& request) {
  if (request.Url.isEmpty())
    return TTranslationReply::Failed(TTranslationFailure::Request, request.Failure);
  try {
    const THttpResponse response = http.Get(request.Url, request.Http);
    if (!response.Completed)
      return TTranslationReply::Failed(KindOf(response.Failure), response.Error);
    if (response.Status < 200 || response.Status > 299)
      return TTranslationReply::Failed(TTranslationFailure::HttpStatus,
                                       QString::fromLatin1(response.StatusLine));
    std::optional<QString> text = DecodeUtf8(response.Body);
    if (!text)
      return TTranslationReply::Failed(TTranslationFailure::Unparsable,
                                       QStringLiteral("the answer is not valid UTF-8"));
    return {TTranslationFailure::None, std::move(*text), {}};
  } catch (const std::exception& e) {
    return TTranslationReply::Failed(TTranslationFailure::Request,
                                     QString::fromLocal8Bit(e.what()));
  }
}

TTranslationReply TranslateText(THttpClient& http, const QString& text, const QString& sourceCode,
                                const QString& targetCode) {
  return TranslateText(http, PrepareTranslation(http, Params.Server, text, sourceCode, targetCode));
}
