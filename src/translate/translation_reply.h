#pragma once

#include "translate/reply_parser.h"

#include <QLoggingCategory>
#include <QString>

// Failed translations are logged here, at warning level: the user sees one
// fixed text for all of them, so the log is where the reason survives.
Q_DECLARE_LOGGING_CATEGORY(lcTranslate)

// Why a translation request brought no usable reply.
enum class TTranslationFailure {
  None,
  Request,    // no request could be made (server setting, size, memory)
  Proxy,      // a proxy is chosen but its settings cannot be used
  Connection, // refused, broken, unresolved or nothing answered
  Timeout,
  Tls,
  HttpStatus, // an answer outside 2xx (3xx, 401 and 407 included)
  TooLarge,   // the answer passed MaxTranslationReplyBytes
  Cancelled,
  Unparsable // an answer without the reply's shape, or not UTF-8
};

// The kind as the log names it: "connection", "time-out", ...
QString FailureKindName(TTranslationFailure kind);

// What one request brought back: the body decoded from UTF-8, or the kind of
// failure with its detail (the library's words, or the answer's status line).
struct TTranslationReply {
  TTranslationFailure Failure = TTranslationFailure::None;
  QString Text;   // the body; empty after a failure
  QString Detail; // why it failed
  bool Succeeded() const { return Failure == TTranslationFailure::None; }

  static TTranslationReply Failed(TTranslationFailure kind, const QString& detail) {
    return {kind, {}, detail};
  }
};

// The translation in a reply, or ParseFailureMessage for a failed request or
// a body without the reply's shape; either failure is logged with its kind.
TParsedTranslation ReadTranslation(const TTranslationReply& reply);
