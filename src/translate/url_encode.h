#pragma once

#include <QByteArray>

// Percent-encodes bytes for the query string of a translation request.
// Letters, digits and ! $ ' ( ) * - . @ _ pass unchanged, a space becomes '+',
// every other byte becomes '%' and two upper-case hexadecimal digits. The
// kept set is deliberately not RFC 3986's: the service has always been sent
// '~' as %7E and '!', '*', '@' as they are. The result is at most three times
// as long as the input.
QByteArray UrlEncode(const QByteArray& bytes);
