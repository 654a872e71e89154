#pragma once

#include <QString>

// A caption that introduces a field or a pane ("Address :", "源语言：") as a
// name for it: without its closing colon.
QString NameFromCaption(const QString& caption);
