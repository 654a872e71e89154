#include "translation_request.h"

#include "http_client.h"
#include "url_encode.h"

#include "settings/app_error.h"
#include "settings/product_info.h"
#include "settings/settings.h"

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
  if (Params.NoProxy) {
    http.SetProxyServer({});
    http.SetProxyPort(0);
    http.SetProxyUserName({});
    http.SetProxyPassword({});
    return;
  }
  http.SetProxyServer(Params.Address);
  const std::optional<qint32> port = ParseIniInteger(Params.Port);
  if (!port)
    throw ETralvescoError(QStringLiteral("'%1' is not a valid integer value").arg(Params.Port));
  http.SetProxyPort(*port);
  http.SetProxyUserName(Params.UserName);
  http.SetProxyPassword(Params.Password);
}

QString TranslateText(THttpClient& http, const QString& text, const QString& sourceCode,
                      const QString& targetCode) {
  // Even running out of memory for a huge text must come back as a text: the
  // caller shows failures, it does not catch them.
  try {
    const std::optional<QByteArray> address = ServiceAddress(Params.Server);
    if (!address)
      return QStringLiteral("'%1' is not a valid translation server address").arg(Params.Server);
    http.SetMaxBodySize(std::min(http.MaxBodySize(), MaxTranslationReplyBytes));
    const THttpResponse response = http.Get(TranslationUrl(*address, text, sourceCode, targetCode));
    if (!response.Completed)
      return response.Error;
    if (response.Status < 200 || response.Status > 299)
      return QString::fromLatin1(response.StatusLine);
    return DecodeUtf8OrEmpty(response.Body);
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  }
}
