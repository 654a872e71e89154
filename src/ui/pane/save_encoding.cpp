#include "ui/pane/save_encoding.h"

#include <QStringEncoder>

QByteArray EncodeSavedDocument(const QString& source) {
  const QByteArray local = source.toLocal8Bit();
  if (QString::fromLocal8Bit(local) == source)
    return local;
  QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
  return encoder(source);
}
