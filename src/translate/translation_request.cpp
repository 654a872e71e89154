#include "translate/translation_request.h"

#include "translate/http_client.h"
#include "translate/url_encode.h"

#include "core/app_error.h"
#include "core/product_info.h"
#include "core/program_messages.h"
#include "settings/settings.h"

#include "settings/ini_file.h"
#include "settings/legacy_text.h"

#include <QStringDecoder>
#include <QUrl>
#include <algorithm>

namespace {

const QByteArray UserAgent = "Mozilla/5.0 (Windows; U; Windows NT 6.1; en-US) AppleWebKit/534.13 "
                             "(KHTML, like Gecko) Chrome/9.0.597.67 Safari/534";

QString DecodeUtf8OrEmpty(const QByteArray& body) {
  // Stateless: a sequence cut off at the end of the body is an error too,
  // not something kept for a next chunk that never comes.
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(body);
  return decoder.hasError() ? QString() : text;
}

// A credential as the settings file holds it, when the record still shows
// that value; what the user typed is sent as UTF-8.
QByteArray CredentialBytes(const QString& shown, const QByteArray& stored) {
  if (!stored.isEmpty() && !IsValidUtf8(stored) && TIniText::DecodeLegacyValue(stored) == shown)
    return stored;
  return shown.toUtf8();
}

} // namespace

std::optional<QString> ProxyHost(const QString& address) {
  const QString host = address.trimmed();
  if (host.isEmpty())
    return host;
  // The library reads a scheme, a port or user:password@ out of the
  // address, and they would override the kind of proxy, the Port setting
  // and the user name: only a bare host is taken.
  if (host.contains(QLatin1Char(':'))) {
    // Only an IPv6 address holds colons; the library wants it in brackets.
    QString inner = host;
    if (inner.startsWith(QLatin1Char('[')) && inner.endsWith(QLatin1Char(']')))
      inner = inner.mid(1, inner.size() - 2);
    QUrl url;
    url.setHost(QLatin1Char('[') + inner + QLatin1Char(']'), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.host().contains(QLatin1Char(':')))
      return std::nullopt;
    return QLatin1Char('[') + url.host() + QLatin1Char(']');
  }
  if (host.size() > 253)
    return std::nullopt;
  for (const QString& label : host.split(QLatin1Char('.'))) {
    if (label.isEmpty() || label.size() > 63 || label.startsWith(QLatin1Char('-')) ||
        label.endsWith(QLatin1Char('-')))
      return std::nullopt;
    for (const QChar c : label)
      if (!(c.isLetterOrNumber() || c == u'-' || c == u'_'))
        return std::nullopt;
  }
  return host;
}

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
  if (Params.NoProxy) {
    http.SetProxyServer({});
    http.SetProxyPort(0);
    http.SetProxyUserName({});
    http.SetProxyPassword({});
    return;
  }
  const std::optional<QString> host = ProxyHost(Params.Address);
  if (!host)
    throw ETralvescoError(MessageText(TMessage::InvalidProxy).arg(Params.Address));
  http.SetProxyServer(*host);
  const std::optional<qint32> port = ParseIniInteger(Params.Port);
  if (!port)
    throw ETralvescoError(QStringLiteral("'%1' is not a valid integer value").arg(Params.Port));
  http.SetProxyPort(*port);
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

QString TranslateText(THttpClient& http, const TTranslationRequest& request) {
  if (request.Url.isEmpty())
    return request.Failure;
  try {
    const THttpResponse response = http.Get(request.Url, request.Http);
    if (!response.Completed)
      return response.Error;
    if (response.Status < 200 || response.Status > 299)
      return QString::fromLatin1(response.StatusLine);
    return DecodeUtf8OrEmpty(response.Body);
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  }
}

QString TranslateText(THttpClient& http, const QString& text, const QString& sourceCode,
                      const QString& targetCode) {
  return TranslateText(http, PrepareTranslation(http, Params.Server, text, sourceCode, targetCode));
}
