#pragma once

#include <QStringView>

// The named character references the writer uses: the HTML 4 set, which every
// reader of HTML knows.

// The entity name of a character ("amp" for '&'), or an empty view.
QStringView EntityNameFor(char16_t ch);

// Whether "&" + name is read as a character reference even without its ";"
// (the legacy names HTML parsers still accept bare, also inside attribute
// values when nothing alphanumeric or "=" follows).
bool IsBareEntityName(QStringView name);
