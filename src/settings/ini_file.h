#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// An INI text as Windows' private-profile functions read and write it: section
// and key names match without regard to case, blanks around '=' are ignored, a
// value in matching quotes loses them, CRLF and LF both end a line. A write
// touches one line (or appends one) and leaves every other byte as it was, so
// comments, unknown keys and their order survive.
class TIniText {
public:
  TIniText() = default;
  // A file without a byte-order mark whose 8-bit bytes are in a known legacy
  // code page names it (an iconv name); its values are read and written in
  // it. UTF-16 files of either byte order stay UTF-16, with or without their
  // byte-order mark (one without is known by the NUL bytes of its ASCII
  // brackets and equals signs), and a file without any line feed ends its
  // lines with carriage returns.
  explicit TIniText(const QByteArray& fileBytes, const char* legacyCharset = nullptr);

  // The value of the first matching key in the first matching section. A
  // value that is not valid UTF-8 was written in a legacy code page: it reads
  // as GB18030 (which covers GBK), or Latin-1 when it is not valid GB18030.
  std::optional<QString> Read(const QString& section, const QString& key) const;

  // The value's bytes as the file holds them (UTF-8 for a UTF-16 file).
  std::optional<QByteArray> ReadBytes(const QString& section, const QString& key) const;

  // The text a value's bytes in an 8-bit file read as.
  static QString DecodeLegacyValue(const QByteArray& value);

  // Replaces an existing key in place (a legacy value whose text is already
  // the one written keeps its bytes), appends a new key at the end of its
  // section, or appends a new section at the end of the text. False, with
  // nothing changed, when the file's legacy code page cannot hold the value.
  bool Write(const QString& section, const QString& key, const QString& value);

  // Every key line of the file in order: the name of the section it is in
  // (empty before the first), its name and its value bytes as ReadBytes gives
  // them.
  using TKeyVisitor = std::function<void(const QByteArray& section, const QByteArray& name,
                                         const QByteArray& value)>;
  void ForEachKey(const TKeyVisitor& visit) const;

  // The text in the encoding it was read in (UTF-16 files stay UTF-16).
  QByteArray ToBytes() const;

  // False for bytes that are neither 8-bit text nor UTF-16 (NULs where no
  // such text has them): they may still be read, but never written to.
  bool Understood() const { return FUnderstood; }

private:
  struct TLine {
    QByteArray Text; // without its line end
    QByteArray End;  // "\r\n", "\n" or empty for a last line without one
  };
  enum class TLineKind { Other, Section, Key };
  struct TParsed {
    TLineKind Kind = TLineKind::Other;
    QByteArray Name;  // section or key name, trimmed
    QByteArray Value; // key value, trimmed, quotes removed
  };

  static TParsed Parse(const QByteArray& line);
  static bool SameName(const QByteArray& a, const QString& b);
  int FindSection(const QString& section) const;
  int SectionEnd(int headerLine) const;
  QByteArray LineEnd() const;
  QString ValueText(const QByteArray& value) const;

  QList<TLine> FLines;
  QByteArray FPrefix; // a UTF-8 byte-order mark, kept as found
  QByteArray FSuffix; // the odd last byte of a UTF-16 file, kept last
  bool FUtf16 = false;
  bool FUtf16Mark = false; // the UTF-16 text began with a byte-order mark
  bool FBigEndian = false;
  bool FUnderstood = true;
  const char* FCharset = nullptr; // legacy code page of an 8-bit file
};

namespace IniFile {
// Names the legacy code page of a file's bytes, or nullptr for the settings
// file's rule (see TIniText::Read).
using TCharsetOf = const char* (*)(const QByteArray& fileBytes);

// Reads one value; a missing or unreadable file reads as empty.
std::optional<QString> Read(const QString& path, const QString& section, const QString& key,
                            TCharsetOf charsetOf = nullptr);

// The value's bytes as the file holds them; see TIniText::ReadBytes.
std::optional<QByteArray> ReadBytes(const QString& path, const QString& section,
                                    const QString& key);

// The file's bytes with one value written, as Write would leave them: the
// bytes unchanged when the value is left out; nothing when the bytes are not
// text the writer understands.
std::optional<QByteArray> Rewritten(const QByteArray& fileBytes, const QString& section,
                                    const QString& key, const QString& value,
                                    TCharsetOf charsetOf = nullptr);

// Writes one value through a temporary file beside the target, so a failed
// write never leaves a half-written file. A new file is readable by its owner
// only; an existing one keeps its mode and (where the process may) its owner
// and group. False when it cannot be written, or when the file's bytes are
// not text it understands (see TIniText::Understood).
// A value the file's legacy code page cannot hold is not written (the file
// never mixes encodings), and that is no failure. Nor is a value that would
// make charsetOf name another code page for the file: every other value would
// then read as different text.
bool Write(const QString& path, const QString& section, const QString& key, const QString& value,
           TCharsetOf charsetOf = nullptr);
} // namespace IniFile
