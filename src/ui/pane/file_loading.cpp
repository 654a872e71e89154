#include "ui/pane/file_loading.h"

#include "core/program_messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace {

QMutex HookMutex;
std::function<void()> ReadHook;

constexpr qint64 ChunkBytes = 1024 * 1024;

} // namespace

void SetPaneFileReadHookForTesting(std::function<void()> hook) {
  const QMutexLocker lock(&HookMutex);
  ReadHook = std::move(hook);
}

namespace {

// IsHtmlFile reading no more of the file than it takes to see past the
// blanks before a document.
bool IsHtmlFileAt(const QString& path) {
  QFile file(path);
  QByteArray start;
  // Opening a pipe would wait for a writer.
  if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly)) {
    for (qint64 probe = 256; !StartsLikeHtml(start, false); probe *= 4) {
      const QByteArray more = file.read(probe - start.size());
      if (more.isEmpty())
        break;
      start += more;
    }
  }
  return IsHtmlFile(path, start);
}

} // namespace

qint64 PaneFileByteLimit(const QString& path) {
  return IsHtmlFileAt(path) ? MaxPaneHtmlFileBytes : MaxPaneFileBytes;
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
  else if (const qint64 limit = PaneFileByteLimit(path); info.size() > limit)
    reason = MessageText(TMessage::FileTooLarge).arg(limit / (1024 * 1024));
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
  const qint64 limit = PaneFileByteLimit(path);
  if (expected > limit)
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
    if (bytes.size() > limit)
      return result;
  }
  result.IsHtml = IsHtmlFile(path, bytes);
  result.Text = DecodePaneFile(bytes, result.IsHtml);
  // The HTML parser drops a NUL and the pane shows no control character;
  // in a text file each stays visible as one U+FFFD rather than vanish.
  if (!result.IsHtml)
    result.Text = ShowableText(std::move(result.Text));
  result.Ok = true;
  return result;
}
