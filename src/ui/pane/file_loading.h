#pragma once

#include "settings/file_decoding.h"

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

// The limit for this file: MaxPaneHtmlFileBytes for HTML (IsHtmlFile on
// its name and first bytes), MaxPaneFileBytes for anything else.
qint64 PaneFileByteLimit(const QString& path);

// Reads and decodes the file; `cancelled` is polled between chunks.
TLoadedFile ReadPaneFile(const QString& path, const std::function<bool()>& cancelled);

// Why the pane cannot open the file, as a sentence naming it; nothing when
// it can, or when there is no such file (the pane then keeps its document
// without a word). Not a regular file (a FIFO would block the reader), not
// readable, or over MaxPaneFileBytes.
std::optional<QString> PaneFileRefusal(const QString& path);

// The same kind of sentence for a name that is not there at all.
QString MissingFileMessage(const QString& path);

// Tests hold the reading thread here to watch the pane wait.
void SetPaneFileReadHookForTesting(std::function<void()> hook);
