#pragma once

#include "translate/http_client.h"
#include "translate/translation_reply.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The translation service: scheme, host and (optional) port. The key
// "Server" of section "Connection" (Params.Server) replaces it when not empty.
inline const QString DefaultServiceAddress = QStringLiteral("https://translate.google.com");

// Language codes of the request.
inline const QString LanguageEnglish = QStringLiteral("en");
inline const QString LanguageSimplifiedChinese = QStringLiteral("zh-CN");
inline const QString LanguageTraditionalChinese = QStringLiteral("zh-TW");

// The service address to use for a Server setting: the default for an empty
// one, else the setting reduced to scheme://host[:port]. Empty when the
// setting is not an http or https address of that form.
std::optional<QByteArray> ServiceAddress(const QString& server);

// The request URL: address + "/translate_a/t?client=o&text=" + the encoded
// text + "&sl=" + source code + "&tl=" + target code.
QByteArray TranslationUrl(const QByteArray& serviceAddress, const QString& text,
                          const QString& sourceCode, const QString& targetCode);

// Replaces the client's request headers with the fixed browser-like set and
// sets HTTP/1.1. Host follows from the URL and Cookie from the client's
// cookies, so neither is in the set.
void SetRequestHeaders(THttpClient& http);

// Copies the proxy settings of Params into the client: cleared with NoProxy,
// otherwise server, port, user name and password in that order. Settings
// that ProxyRoute finds unusable throw ETralvescoError with its message; an
// address it rejects changes none of the four, a port that is not an integer
// leaves the server set and the rest as it was. Either way the client is
// left refusing every request (its ProxyFault) until settings that can be
// used are applied: a chosen proxy is never bypassed. A credential whose
// text is the legacy-code-page value the settings file holds goes as the
// file's bytes.
void ApplyProxySettings(THttpClient& http);

// Larger answers fail like any failed exchange: the target pane could not
// show a longer translation within about ten seconds.
inline constexpr qsizetype MaxTranslationReplyBytes = 8 * 1024 * 1024;

// Everything one translation request needs, resolved where the settings
// live and handed by value to the thread that sends it.
struct TTranslationRequest {
  QByteArray Url;  // empty when the server setting is not an address
  QString Failure; // then why nothing is sent
  THttpSettings Http;
};

// The request for a text under a Server setting and the client's standing
// settings (headers, protocol version, proxy, time-outs).
TTranslationRequest PrepareTranslation(const THttpClient& http, const QString& server,
                                       const QString& text, const QString& sourceCode,
                                       const QString& targetCode);

// Sends a prepared request through the client's connection; the answer body
// decoded from UTF-8, at most MaxTranslationReplyBytes long. Reads nothing but
// its arguments, so it may run on any thread. Never throws: a failed exchange
// gives its kind and detail instead (for an answer outside 2xx, its status
// line), a body that is not valid UTF-8 an Unparsable failure.
TTranslationReply TranslateText(THttpClient& http, const TTranslationRequest& request);

// Both steps at once on the calling thread, with Params.Server.
TTranslationReply TranslateText(THttpClient& http, const QString& text, const QString& sourceCode,
                                const QString& targetCode);
