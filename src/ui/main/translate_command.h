#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

// The header every document the program writes into a pane starts with.
inline const QString Utf8MetaHeader =
    QStringLiteral("<meta content=\"text/html; charset=UTF-8\" http-equiv=\"content-type\" />");

// The font the target pane shows a translation in.
inline const QString TranslationFontName = QStringLiteral("Tahoma");

struct TLanguagePair {
  QString Source; // goes into "&sl="
  QString Target; // goes into "&tl="
};

// The pair for a direction (0 = English to Chinese, any other value the
// other way) and a Chinese variant (0 = Simplified, 1 = Traditional). No pair
// for any other variant: such a run sends nothing.
std::optional<TLanguagePair> LanguagePairFor(qint32 direction, qint32 chineseLanguage);

// The text without leading and trailing characters up to U+0020 (spaces,
// tabs, line ends, other control characters); other white space such as a
// no-break or ideographic space stays.
QString TrimControlCharacters(const QString& text);

// Escape sequences the service leaves in a translation, written out with a
// real backslash, and the character each stands for, in the order the
// target pane is cleaned of them.
struct TEscapeSequence {
  QString Sequence;
  QString Replacement;
};
const std::array<TEscapeSequence, 6>& EscapeSequences();
