#include "settings/ini_file.h"

#include "settings/legacy_text.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArray Trimmed(const QByteArray& s) {
  qsizetype begin = 0;
  qsizetype end = s.size();
  while (begin < end && IsBlank(s[begin]))
    ++begin;
  while (end > begin && IsBlank(s[end - 1]))
    --end;
  return s.mid(begin, end - begin);
}

QByteArray Unquoted(const QByteArray& v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.mid(1, v.size() - 2);
  return v;
}

// A value that reading would alter (outer blanks trimmed, outer quotes taken
// off) is written inside one more pair of quotes, so it reads back unchanged.
// Line breaks would split the entry and could smuggle in other keys; a NUL
// would make the file one that is never written again (see Understood).
// Blanks and quotes are ASCII and never a trail byte in GBK or Big5, so this
// works on a value in the file's code page as well. Nothing when the code page
// cannot hold the value.
std::optional<QByteArray> Storable(const QString& value, const char* charset) {
  QString clean = value;
  clean.replace(QLatin1Char('\r'), QLatin1Char(' '));
  clean.replace(QLatin1Char('\n'), QLatin1Char(' '));
  clean.replace(QChar(u'\0'), QLatin1Char(' '));
  QByteArray bytes;
  if (charset) {
    const std::optional<QByteArray> encoded = EncodeCharset(clean, charset);
    if (!encoded)
      return std::nullopt;
    bytes = *encoded;
  } else {
    bytes = clean.toUtf8();
  }
  if (bytes.isEmpty())
    return bytes;
  const bool needsQuotes = Trimmed(bytes) != bytes || Unquoted(bytes) != bytes;
  return needsQuotes ? '"' + bytes + '"' : bytes;
}

// A UTF-16 file is parsed as 8-bit text: each code unit becomes its UTF-8
// bytes, and a lone surrogate, which UTF-8 has no spelling for, the three
// bytes its number would take. The way back restores every unit, so a line
// the program does not change is written back exactly as it was read.
QByteArray UnitsToBytes(const QByteArray& le) {
  QByteArray out;
  out.reserve(le.size() * 3 / 2);
  const qsizetype count = le.size() / 2;
  auto unitAt = [&le](qsizetype i) {
    return static_cast<char32_t>(static_cast<uchar>(le[2 * i]) |
                                 (static_cast<uchar>(le[2 * i + 1]) << 8));
  };
  for (qsizetype i = 0; i < count; ++i) {
    char32_t c = unitAt(i);
    if (QChar::isHighSurrogate(c) && i + 1 < count && QChar::isLowSurrogate(unitAt(i + 1)))
      c = QChar::surrogateToUcs4(static_cast<char16_t>(c), static_cast<char16_t>(unitAt(++i)));
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The inverse of UnitsToBytes, as QString code units (lone surrogates kept).
QString BytesToUnits(const QByteArray& bytes) {
  QString out;
  out.reserve(bytes.size());
  for (qsizetype i = 0; i < bytes.size();) {
    const auto lead = static_cast<uchar>(bytes[i]);
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t c = extra == 3   ? lead & 0x07
                 : extra == 2 ? lead & 0x0F
                 : extra == 1 ? lead & 0x1F
                              : lead;
    int taken = 0;
    while (taken < extra && i + 1 + taken < bytes.size() &&
           (static_cast<uchar>(bytes[i + 1 + taken]) & 0xC0) == 0x80) {
      c = (c << 6) | (static_cast<uchar>(bytes[i + 1 + taken]) & 0x3F);
      ++taken;
    }
    if (taken < extra) // only bytes the program wrote itself reach here
      c = QChar::ReplacementCharacter;
    i += 1 + taken;
    if (c >= 0x10000 && c <= 0x10FFFF) {
      out += QChar(QChar::highSurrogate(c));
      out += QChar(QChar::lowSurrogate(c));
    } else {
      out += QChar(static_cast<char16_t>(c));
    }
  }
  return out;
}

// Which byte order a UTF-16 text without a byte-order mark has, judged by
// the NUL half of its ASCII characters: the brackets and equals signs every
// settings file holds make it unmistakable. Nothing for an 8-bit text.
std::optional<bool> Utf16ByteOrder(const QByteArray& bytes) {
  const qsizetype pairs = std::min<qsizetype>(bytes.size() / 2, 4096);
  qsizetype little = 0;
  qsizetype big = 0;
  bool littleMarks = false;
  bool bigMarks = false;
  for (qsizetype i = 0; i < pairs; ++i) {
    const auto first = static_cast<uchar>(bytes[2 * i]);
    const auto second = static_cast<uchar>(bytes[2 * i + 1]);
    if (first != 0 && first < 0x80 && second == 0) {
      ++little;
      littleMarks = littleMarks || first == '[' || first == '=';
    } else if (first == 0 && second != 0 && second < 0x80) {
      ++big;
      bigMarks = bigMarks || second == '[' || second == '=';
    }
  }
  if (littleMarks && little * 2 >= pairs)
    return false;
  if (bigMarks && big * 2 >= pairs)
    return true;
  return std::nullopt;
}

bool SameCharset(const char* a, const char* b) {
  return a == b || (a && b && qstrcmp(a, b) == 0);
}

Q_LOGGING_CATEGORY(LogIniFile, "tralvesco.inifile")

} // namespace

TIniText::TIniText(const QByteArray& fileBytes, const char* legacyCharset) {
  QByteArray bytes = fileBytes;
  const bool utf16Mark = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
  const std::optional<bool> unmarkedOrder =
      utf16Mark || bytes.startsWith("\xEF\xBB\xBF") ? std::nullopt : Utf16ByteOrder(bytes);
  if (utf16Mark || unmarkedOrder) {
    FUtf16 = true;
    FUtf16Mark = utf16Mark;
    FBigEndian = utf16Mark ? bytes.startsWith("\xFE\xFF") : *unmarkedOrder;
    const qsizetype start = utf16Mark ? 2 : 0;
    // An odd last byte is no character, but it is the file's: it stays last.
    if ((bytes.size() - start) % 2 != 0)
      FSuffix = bytes.right(1);
    QByteArray units = bytes.mid(start, (bytes.size() - start) / 2 * 2);
    if (FBigEndian)
      for (qsizetype i = 0; i + 1 < units.size(); i += 2)
        std::swap(units[i], units[i + 1]);
    bytes = UnitsToBytes(units);
  } else if (bytes.startsWith("\xEF\xBB\xBF")) {
    FPrefix = bytes.left(3);
    bytes = bytes.mid(3);
  } else {
    FCharset = legacyCharset;
    // 8-bit settings text never holds a NUL: this is some other encoding or
    // no text at all. Whatever lines read well are still read, but writing
    // lines into it would only mix encodings.
    FUnderstood = !bytes.contains('\0');
  }
  // A file with no line feed at all ends its lines with carriage returns, as
  // old Macintosh editors write them.
  const char lineEnd = bytes.contains('\n') ? '\n' : '\r';
  qsizetype start = 0;
  while (start < bytes.size()) {
    if (lineEnd == '\r') {
      const qsizetype cr = bytes.indexOf('\r', start);
      if (cr < 0) {
        FLines.append({bytes.mid(start), {}});
        break;
      }
      FLines.append({bytes.mid(start, cr - start), "\r"});
      start = cr + 1;
      continue;
    }
    const qsizetype nl = bytes.indexOf('\n', start);
    if (nl < 0) {
      FLines.append({bytes.mid(start), {}});
      break;
    }
    const bool crlf = nl > start && bytes[nl - 1] == '\r';
    const qsizetype textEnd = crlf ? nl - 1 : nl;
    FLines.append({bytes.mid(start, textEnd - start), crlf ? "\r\n" : "\n"});
    start = nl + 1;
  }
}

TIniText::TParsed TIniText::Parse(const QByteArray& line) {
  TParsed parsed;
  const QByteArray t = Trimmed(line);
  if (t.isEmpty() || t.front() == ';' || t.front() == '#')
    return parsed;
  if (t.front() == '[') {
    const qsizetype close = t.indexOf(']');
    parsed.Kind = TLineKind::Section;
    parsed.Name = Trimmed(t.mid(1, close < 0 ? -1 : close - 1));
    return parsed;
  }
  const qsizetype eq = t.indexOf('=');
  if (eq <= 0)
    return parsed;
  parsed.Name = Trimmed(t.left(eq));
  if (parsed.Name.isEmpty())
    return parsed;
  parsed.Kind = TLineKind::Key;
  parsed.Value = Unquoted(Trimmed(t.mid(eq + 1)));
  return parsed;
}

bool TIniText::SameName(const QByteArray& a, const QString& b) {
  return QString::fromUtf8(a).compare(b, Qt::CaseInsensitive) == 0;
}

int TIniText::FindSection(const QString& section) const {
  for (int i = 0; i < FLines.size(); ++i) {
    const TParsed p = Parse(FLines[i].Text);
    if (p.Kind == TLineKind::Section && SameName(p.Name, section))
      return i;
  }
  return -1;
}

int TIniText::SectionEnd(int headerLine) const {
  int i = headerLine + 1;
  while (i < FLines.size() && Parse(FLines[i].Text).Kind != TLineKind::Section)
    ++i;
  return i;
}

QString TIniText::ValueText(const QByteArray& value) const {
  if (FUtf16)
    return BytesToUnits(value);
  if (FCharset)
    if (const std::optional<QString> text = DecodeCharset(value, FCharset))
      return *text;
  if (IsValidUtf8(value))
    return QString::fromUtf8(value);
  return DecodeLegacyValue(value);
}

QString TIniText::DecodeLegacyValue(const QByteArray& value) {
  return DecodeCharset(value, Gb18030Charset).value_or(QString::fromLatin1(value));
}

std::optional<QByteArray> TIniText::ReadBytes(const QString& section, const QString& key) const {
  const int header = FindSection(section);
  if (header < 0)
    return std::nullopt;
  const int end = SectionEnd(header);
  for (int i = header + 1; i < end; ++i) {
    const TParsed p = Parse(FLines[i].Text);
    if (p.Kind == TLineKind::Key && SameName(p.Name, key))
      return p.Value;
  }
  return std::nullopt;
}

std::optional<QString> TIniText::Read(const QString& section, const QString& key) const {
  const std::optional<QByteArray> value = ReadBytes(section, key);
  if (!value)
    return std::nullopt;
  return ValueText(*value);
}

QByteArray TIniText::LineEnd() const {
  for (const TLine& line : FLines)
    if (!line.End.isEmpty())
      return line.End;
  return "\r\n"; // what Windows writes into a new file
}

bool TIniText::Write(const QString& section, const QString& key, const QString& value) {
  const std::optional<QByteArray> stored = Storable(value, FCharset);
  if (!stored)
    return false;
  const QByteArray eol = LineEnd();
  const int header = FindSection(section);
  if (header < 0) {
    if (!FLines.isEmpty() && FLines.back().End.isEmpty())
      FLines.back().End = eol;
    FLines.append({'[' + section.toUtf8() + ']', eol});
    FLines.append({key.toUtf8() + '=' + *stored, eol});
    return true;
  }
  const int end = SectionEnd(header);
  int lastFilled = header;
  for (int i = header + 1; i < end; ++i) {
    const TParsed p = Parse(FLines[i].Text);
    if (p.Kind == TLineKind::Key && SameName(p.Name, key)) {
      // A value the user left as it was keeps its bytes: a legacy code page
      // would become UTF-8 and a carriage return inside it a blank, and the
      // proxy and any other program reading the file would see other bytes.
      if (ValueText(p.Value) == value)
        return true;
      // Keep the key as the file spells it, and its indentation.
      const QByteArray& text = FLines[i].Text;
      qsizetype indent = 0;
      while (indent < text.size() && IsBlank(text[indent]))
        ++indent;
      FLines[i].Text = text.left(indent) + p.Name + '=' + *stored;
      return true;
    }
    if (!Trimmed(FLines[i].Text).isEmpty())
      lastFilled = i;
  }
  if (FLines[lastFilled].End.isEmpty())
    FLines[lastFilled].End = eol;
  FLines.insert(lastFilled + 1, {key.toUtf8() + '=' + *stored, eol});
  return true;
}

void TIniText::ForEachKey(const TKeyVisitor& visit) const {
  QByteArray section;
  for (const TLine& line : FLines) {
    const TParsed p = Parse(line.Text);
    if (p.Kind == TLineKind::Section)
      section = p.Name;
    else if (p.Kind == TLineKind::Key)
      visit(section, p.Name, p.Value);
  }
}

QByteArray TIniText::ToBytes() const {
  QByteArray out = FPrefix;
  for (const TLine& line : FLines)
    out += line.Text + line.End;
  if (!FUtf16)
    return out;
  const QString units = BytesToUnits(out);
  QByteArray wide;
  wide.reserve(2 + units.size() * 2 + 1);
  if (FUtf16Mark)
    wide += FBigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const QChar c : units) {
    const char low = static_cast<char>(c.unicode() & 0xFF);
    const char high = static_cast<char>(c.unicode() >> 8);
    wide += FBigEndian ? high : low;
    wide += FBigEndian ? low : high;
  }
  return wide + FSuffix;
}

namespace IniFile {

std::optional<QString> Read(const QString& path, const QString& section, const QString& key,
                            TCharsetOf charsetOf) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return std::nullopt;
  const QByteArray bytes = file.readAll();
  return TIniText(bytes, charsetOf ? charsetOf(bytes) : nullptr).Read(section, key);
}

std::optional<QByteArray> ReadBytes(const QString& path, const QString& section,
                                    const QString& key) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return std::nullopt;
  return TIniText(file.readAll()).ReadBytes(section, key);
}

std::optional<QByteArray> Rewritten(const QByteArray& fileBytes, const QString& section,
                                    const QString& key, const QString& value,
                                    TCharsetOf charsetOf) {
  const char* charset = charsetOf ? charsetOf(fileBytes) : nullptr;
  TIniText text(fileBytes, charset);
  if (!text.Understood())
    return std::nullopt;
  if (!text.Write(section, key, value))
    return fileBytes; // the file's code page cannot hold the value
  QByteArray bytes = text.ToBytes();
  if (charsetOf && !SameCharset(charsetOf(bytes), charset)) {
    qCWarning(LogIniFile, "%s=... left out: it would change how the whole file reads",
              qPrintable(key));
    return fileBytes;
  }
  return bytes;
}

bool Write(const QString& path, const QString& section, const QString& key, const QString& value,
           TCharsetOf charsetOf) {
  const QFileInfo info(path);
  if (info.isDir())
    return false;
  QByteArray old;
  const bool existed = info.exists();
  if (existed) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
      return false; // rewriting a file we cannot read would drop its contents
    old = file.readAll();
  }
  const std::optional<QByteArray> bytes = Rewritten(old, section, key, value, charsetOf);
  if (!bytes)
    return false;
  if (existed && *bytes == old)
    return true;

  struct stat before {};
  if (existed && stat(QFile::encodeName(path).constData(), &before) != 0)
    return false;
  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly))
    return false;
  if (out.write(*bytes) != bytes->size() || !out.flush())
    return false;
  if (existed) {
    // The new file takes the old one's place, so it takes its mode and, as
    // far as the process may, its owner: a read-only file stays read-only
    // and root's rewrite does not take a user's file from them.
    if (fchown(out.handle(), before.st_uid, before.st_gid) != 0 &&
        fchown(out.handle(), static_cast<uid_t>(-1), before.st_gid) != 0) {
      // Not ours to give away: the file stays the writer's.
    }
    if (fchmod(out.handle(), before.st_mode & 07777) != 0)
      return false;
  } else if (!out.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) {
    // The settings file holds the proxy password in plain text.
    return false;
  }
  return out.commit();
}

} // namespace IniFile
