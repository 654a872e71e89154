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

// Larger files are refused: about what the pane loads and shows within ten
// seconds on a busy two-core machine (a million short lines).
inline constexpr qint64 MaxPaneFileBytes = 16 * 1024 * 1024;

// Reads and decodes the file; `cancelled` is polled between chunks.
TLoadedFile ReadPaneFile(const QString& path, const std::function<bool()>& cancelled);

// Text in UTF-8, UTF-16/32 with a byte-order mark, an HTML file's declared
// charset, or the local 8-bit encoding (UTF-8 here); bytes that are none of
// these are text in a legacy code page: GB18030 or Big5 as DecodeLegacyText
// tells them apart, and Latin-1 when neither fits, so every byte still shows
// as some character.
QString DecodePaneFile(const QByteArray& bytes, bool html);

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
