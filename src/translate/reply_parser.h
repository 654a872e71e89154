#pragma once

#include <QString>

// The translation found in a reply of the translation service, or why there
// is none. Exactly one of the two is meaningful: Error is empty on success
// (Text may then be empty too, for a reply without sentences).
struct TParsedTranslation {
  QString Text;
  QString Error;
};

// The one text the user sees for every failed translation.
inline const QString ParseFailureMessage =
    QStringLiteral("ERROR: Failed to parse translation results.");

// Joins the "trans" strings of the reply's "sentences" array, in order, with
// nothing between them. Only the first JSON value of the reply counts; text
// after it is ignored. Escaped CR LF pairs ("\r\n" written out in the reply)
// come out as "<br>", so a line break in a sentence shows as one in the
// target pane. A number or boolean "trans" gives its JSON text; a null,
// object or array "trans" fails the reply like a missing one. A member that
// occurs twice in one object counts with its last occurrence. Any reply
// without this shape gives an empty text and ParseFailureMessage; there is
// never a partial result. Never throws for a malformed reply.
TParsedTranslation ParseTranslation(const QString& replyText);
