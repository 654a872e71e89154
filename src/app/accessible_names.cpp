#include "app/accessible_names.h"

QString NameFromCaption(const QString& caption) {
  QString name = caption.trimmed();
  while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
    name = name.chopped(1).trimmed();
  return name;
}
