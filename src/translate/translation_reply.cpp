#include "translate/translation_reply.h"

Q_LOGGING_CATEGORY(lcTranslate, "tralvesco.translate", QtWarningMsg)

QString FailureKindName(TTranslationFailure kind) {
  switch (kind) {
  case TTranslationFailure::None:
    return QStringLiteral("none");
  case TTranslationFailure::Request:
    return QStringLiteral("request");
  case TTranslationFailure::Proxy:
    return QStringLiteral("proxy settings");
  case TTranslationFailure::Connection:
    return QStringLiteral("connection");
  case TTranslationFailure::Timeout:
    return QStringLiteral("time-out");
  case TTranslationFailure::Tls:
    return QStringLiteral("TLS");
  case TTranslationFailure::HttpStatus:
    return QStringLiteral("HTTP status");
  case TTranslationFailure::TooLarge:
    return QStringLiteral("size cap");
  case TTranslationFailure::Cancelled:
    return QStringLiteral("cancelled");
  case TTranslationFailure::Unparsable:
    return QStringLiteral("unparsable reply");
  }
  return QStringLiteral("unknown");
}

namespace {

void LogFailure(TTranslationFailure kind, const QString& detail) {
  qCWarning(lcTranslate).noquote()
      << QStringLiteral("translation failed (%1): %2").arg(FailureKindName(kind), detail);
}

} // namespace

TParsedTranslation ReadTranslation(const TTranslationReply& reply) {
  if (!reply.Succeeded()) {
    LogFailure(reply.Failure, reply.Detail);
    return {{}, ParseFailureMessage};
  }
  TParsedTranslation parsed = ParseTranslation(reply.Text);
  // The reply itself stays out of the log: it holds the user's text.
  if (!parsed.Error.isEmpty())
    LogFailure(
        TTranslationFailure::Unparsable,
        QStringLiteral("an answer of %1 characters without a translation").arg(reply.Text.size()));
  return parsed;
}
