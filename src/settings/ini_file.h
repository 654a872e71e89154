#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// An INI text as Windows' private-profile functions read and write it: section
// and key names match without regard to case, blanks around '=' are ignored, a
// value in matching quotes loses them, CRLF and LF both end a line. A write
// touches one line (or appends one) and leaves every other byte as it was, so
// comments, unknown keys and their order survive.
class TIniText {
public:
  TIniText() = default;
  explicit TIniText(const QByteArray& fileBytes);

  // The value of the first matching key in the first matching section.
  std::optional<QString> Read(const QString& section, const QString& key) const;

  // Replaces an existing key in place, appends a new key at the end of its
  // section, or appends a new section at the end of the text.
  void Write(const QString& section, const QString& key, const QString& value);

  // The text in the encoding it was read in (UTF-16 files stay UTF-16).
  QByteArray ToBytes() const;

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

  QList<TLine> FLines;
  QByteArray FPrefix; // a UTF-8 byte-order mark, kept as found
  bool FUtf16 = false;
};

namespace IniFile {
// Reads one value; a missing or unreadable file reads as empty.
std::optional<QString> Read(const QString& path, const QString& section, const QString& key);

// Writes one value through a temporary file beside the target, so a failed
// write never leaves a half-written file. A new file is readable by its owner
// only; an existing one keeps its permissions. False when it cannot be written.
bool Write(const QString& path, const QString& section, const QString& key, const QString& value);
} // namespace IniFile
