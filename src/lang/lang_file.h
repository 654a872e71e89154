#pragma once

#include <QByteArray>
#include <QString>

// Language files are written by translators on their own systems: UTF-8 (the
// shipped files), UTF-16 with either byte-order mark, or the 8-bit code page
// of the language's FontCharset (134 = GBK, 136 = Big5), with any line ends.
// These accessors read them in whichever they are, and write back into the
// encoding the file already has, so one file never mixes two.
namespace LangFile {

// The legacy code page a language file's bytes are in: none when they are
// valid UTF-8; else the code page of the first FontCharset of 134 or 136 (as
// the key reader reads lines and numbers); else the one DecodeLegacyText
// finds (Latin-1 when nothing fits). The file keeps it: a value whose writing
// would change it is left out.
const char* CharsetOf(const QByteArray& fileBytes);

// As IniReadString and IniReadInteger do for the settings file. The file is
// read and parsed once for each version of it (its inode, size and times), so
// a window's hundred look-ups cost one read. Anything but a regular file
// reads as missing.
QString ReadString(const QString& path, const QString& section, const QString& key);
qint32 ReadInteger(const QString& path, const QString& section, const QString& key,
                   qint32 defaultValue);

// Throws ETralvescoError("Unable to write to <path>") when the file cannot be
// written. A value the file's code page cannot hold is left out.
void WriteString(const QString& path, const QString& section, const QString& key,
                 const QString& value);

} // namespace LangFile
