#include "ui/pane/file_loading.h"

#include "core/program_messages.h"
#include "settings/legacy_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringDecoder>

namespace {

QMutex HookMutex;
std::function<void()> ReadHook;

constexpr qint64 ChunkBytes = 1024 * 1024;

} // namespace

void SetPaneFileReadHookForTesting(std::function<void()> hook) {
  const QMutexLocker lock(&HookMutex);
  ReadHook = std::move(hook);
}

bool LooksLikeHtml(const QString& path, QStringView text) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == u"htm" || suffix == u"html" || suffix == u"xhtml" || suffix == u"shtml" ||
      suffix == u"hta")
    return true;
  if (suffix == u"txt" || suffix == u"text")
    return false;
  const QStringView start = text.trimmed().left(64);
  return start.startsWith(u"<!doctype html", Qt::CaseInsensitive) ||
         start.startsWith(u"<html", Qt::CaseInsensitive);
}

QString DecodePaneFile(const QByteArray& bytes, bool html) {
  const auto bom = QStringConverter::encodingForData(bytes);
  if (bom) {
    QStringDecoder decoder(*bom);
    return decoder(bytes);
  }
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8(bytes);
  if (!utf8.hasError())
    return text;
  if (html) {
    const auto declared = QStringConverter::encodingForHtml(bytes);
    if (declared && *declared != QStringConverter::Utf8) {
      QStringDecoder decoder(*declared);
      return decoder(bytes);
    }
  }
  // Written on a system with a legacy code page, most likely a Chinese one.
  return DecodeLegacyText(bytes).Text;
}

namespace {
QString RefusalText(const QFileInfo& info, const QString& reason) {
  return MessageText(TMessage::CannotOpen)
      .arg(QDir::toNativeSeparators(info.absoluteFilePath()), reason);
}
} // namespace

QString MissingFileMessage(const QString& path) {
  return RefusalText(QFileInfo(path), MessageText(TMessage::ReasonNotFound));
}

std::optional<QString> PaneFileRefusal(const QString& path) {
  const QFileInfo info(path);
  QString reason;
  // A name that is not there is the pane's to handle: it keeps its document.
  if (!info.exists())
    return std::nullopt;
  if (!info.isFile())
    // Reading a pipe or a device would wait for a writer or never end.
    reason = MessageText(TMessage::NotRegularFile);
  else if (!info.isReadable())
    reason = MessageText(TMessage::CannotRead);
  else if (info.size() > MaxPaneFileBytes)
    reason = MessageText(TMessage::FileTooLarge).arg(MaxPaneFileBytes / (1024 * 1024));
  else
    return std::nullopt;
  return RefusalText(info, reason);
}

TLoadedFile ReadPaneFile(const QString& path, const std::function<bool()>& cancelled) {
  {
    const QMutexLocker lock(&HookMutex);
    if (ReadHook)
      ReadHook();
  }
  TLoadedFile result;
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
    return result;
  QByteArray bytes;
  const qint64 expected = file.size();
  if (expected > MaxPaneFileBytes)
    return result;
  bytes.reserve(expected);
  while (!file.atEnd()) {
    if (cancelled())
      return result;
    const QByteArray chunk = file.read(ChunkBytes);
    if (chunk.isEmpty() && file.error() != QFile::NoError)
      return result;
    if (chunk.isEmpty())
      break;
    bytes += chunk;
    if (bytes.size() > MaxPaneFileBytes)
      return result;
  }
  const QString probe = DecodePaneFile(bytes.left(256), false);
  result.IsHtml = LooksLikeHtml(path, probe);
  result.Text = DecodePaneFile(bytes, result.IsHtml);
  result.Ok = true;
  return result;
}
