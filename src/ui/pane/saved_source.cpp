#include "ui/pane/saved_source.h"

#include "ui/pane/html_source_writer.h"

#include <QStringDecoder>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

// Removes the text at [at, at + length) and the line break right after it.
void RemoveLine(QString& text, qsizetype at, qsizetype length) {
  if (QStringView(text).mid(at + length).startsWith(LineBreak))
    length += LineBreak.size();
  text.remove(at, length);
}

} // namespace

QString SourcePrologue(const QString& documentPrologue, const QString& docType) {
  QString prologue = documentPrologue;
  if (docType != DefaultDocTypeLine) {
    qsizetype at = prologue.indexOf(DefaultDocTypeLine, 0, Qt::CaseInsensitive);
    if (at >= 0)
      RemoveLine(prologue, at, DefaultDocTypeLine.size());
    if (!docType.isEmpty()) {
      // A document keeps one document-type line: the one asked for replaces
      // whatever other declaration the raw source has.
      if (at < 0) {
        at = prologue.indexOf(u"<!DOCTYPE", 0, Qt::CaseInsensitive);
        if (at >= 0) {
          const qsizetype end = prologue.indexOf(u'>', at);
          RemoveLine(prologue, at, (end < 0 ? prologue.size() : end + 1) - at);
        } else {
          at = 0;
        }
      }
      prologue.insert(at, docType + LineBreak);
    }
  }
  // An empty prologue stays empty, so the source then starts with its html
  // element rather than with a blank line.
  if (!prologue.isEmpty() && !prologue.endsWith(LineBreak))
    prologue += LineBreak;
  return prologue;
}

QString DecodeSavedSource(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE")) {
    // Stateless: a cut-off last byte becomes a replacement character.
    QStringDecoder decode(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
    return decode(bytes.mid(2));
  }
  if (bytes.startsWith("\xEF\xBB\xBF"))
    return QString::fromUtf8(bytes.mid(3));
  return QString::fromLocal8Bit(bytes);
}
