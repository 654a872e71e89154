#include "ui/pane/file_loading.h"

#include "core/program_messages.h"
#include "settings/legacy_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringDecoder>
#include <array>

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

namespace {

// Whether bytes that are not valid UTF-8 are still UTF-8 text with a few
// bad bytes (a damaged or cut-off file): far more valid multi-byte
// characters than bytes that fit none. Text in a legacy code page breaks
// the rules of UTF-8 at most of its non-ASCII characters.
bool IsMostlyUtf8(const QByteArray& bytes) {
  qsizetype valid = 0;
  qsizetype bad = 0;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype size = bytes.size();
  for (qsizetype i = 0; i < size;) {
    const unsigned char lead = data[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const int trail = lead >= 0xC2 && lead <= 0xDF   ? 1
                      : lead >= 0xE0 && lead <= 0xEF ? 2
                      : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                     : -1;
    bool ok = trail > 0;
    for (int k = 1; ok && k <= trail; ++k)
      ok = i + k < size && (data[i + k] & 0xC0) == 0x80;
    if (ok) {
      ++valid;
      i += trail + 1;
    } else {
      ++bad;
      ++i;
    }
  }
  return valid > 0 && bad * 8 <= valid;
}

// Windows-1252 where it differs from Latin-1; the five bytes it leaves
// undefined keep their Latin-1 meaning.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeWindows1252(const QByteArray& bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    text[i] = byte >= 0x80 && byte <= 0x9F ? QChar(Windows1252High[byte - 0x80]) : QChar(byte);
  }
  return text;
}

} // namespace

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
  // A bad byte or a cut-off last character shows as U+FFFD where it is;
  // the rest of the text stays what it was.
  if (IsMostlyUtf8(bytes))
    return text;
  // Written on a system with a legacy code page, most likely a Chinese one.
  TLegacyText legacy = DecodeLegacyText(bytes);
  if (!legacy.Charset)
    return DecodeWindows1252(bytes);
  return std::move(legacy.Text);
}

QString ShowableText(QString text) {
  for (QChar& c : text) {
    const char16_t u = c.unicode();
    const bool whitespace = u == u'\t' || u == u'\n' || u == u'\f' || u == u'\r';
    if ((u < 0x20 && !whitespace) || (u >= 0x7F && u <= 0x9F))
      c = QChar::ReplacementCharacter;
  }
  return text;
}

qint64 PaneFileByteLimit(const QString& path) {
  QFile file(path);
  QByteArray start;
  // Opening a pipe would wait for a writer.
  if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
    start = file.read(256);
  return LooksLikeHtml(path, DecodePaneFile(start, false)) ? MaxPaneHtmlFileBytes
                                                           : MaxPaneFileBytes;
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
  const QString probe = DecodePaneFile(bytes.left(256), false);
  result.IsHtml = LooksLikeHtml(path, probe);
  result.Text = DecodePaneFile(bytes, result.IsHtml);
  // The HTML parser drops a NUL and the pane shows no control character;
  // in a text file each stays visible as one U+FFFD rather than vanish.
  if (!result.IsHtml)
    result.Text = ShowableText(std::move(result.Text));
  result.Ok = true;
  return result;
}
