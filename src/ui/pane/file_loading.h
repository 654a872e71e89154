#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// A file read for the pane, off the GUI thread.
struct TLoadedFile {
  bool Ok = false;
  QString Text;
  bool IsHtml = false;
};

// Larger text files are refused: about what the pane loads and shows within
// ten seconds on a busy two-core machine (a million short lines).
inline constexpr qint64 MaxPaneFileBytes = 16 * 1024 * 1024;
// An HTML file may be larger by the markup the pane itself writes around
// such a text when it saves it (a break tag per line, escaped characters),
// so a text the pane opened it can open again once saved.
inline constexpr qint64 MaxPaneHtmlFileBytes = 2 * MaxPaneFileBytes;

// The limit for this file: MaxPaneHtmlFileBytes for HTML (LooksLikeHtml on
// its name and first bytes), MaxPaneFileBytes for anything else.
qint64 PaneFileByteLimit(const QString& path);

// Reads and decodes the file; `cancelled` is polled between chunks.
TLoadedFile ReadPaneFile(const QString& path, const std::function<bool()>& cancelled);

// Text in UTF-8, UTF-16/32 with a byte-order mark, an HTML file's declared
// charset, or the local 8-bit encoding (UTF-8 here). UTF-8 with a few bad
// bytes stays UTF-8, each bad byte a U+FFFD. Other bytes are text in a
// legacy code page: GB18030 or Big5 as DecodeLegacyText tells them apart,
// and Windows-1252 when neither fits, so every byte still shows as some
// character.
QString DecodePaneFile(const QByteArray& bytes, bool html);

// Plain text with each control character other than tab, line feed, form
// feed and carriage return (NUL among them) replaced by U+FFFD.
QString ShowableText(QString text);

// Why the pane cannot open the file, as a sentence naming it; nothing when
// it can, or when there is no such file (the pane then keeps its document
// without a word). Not a regular file (a FIFO would block the reader), not
// readable, or over MaxPaneFileBytes.
std::optional<QString> PaneFileRefusal(const QString& path);

// The same kind of sentence for a name that is not there at all.
QString MissingFileMessage(const QString& path);

// HTML by extension; other names only when the text starts like a document.
bool LooksLikeHtml(const QString& path, QStringView text);

// Tests hold the reading thread here to watch the pane wait.
void SetPaneFileReadHookForTesting(std::function<void()> hook);
