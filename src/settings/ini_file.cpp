#include "ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

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
// Line breaks would split the entry and could smuggle in other keys.
QByteArray Storable(const QString& value) {
  QString clean = value;
  clean.replace(QLatin1Char('\r'), QLatin1Char(' '));
  clean.replace(QLatin1Char('\n'), QLatin1Char(' '));
  QByteArray bytes = clean.toUtf8();
  if (bytes.isEmpty())
    return bytes;
  const bool needsQuotes = Trimmed(bytes) != bytes || Unquoted(bytes) != bytes;
  return needsQuotes ? '"' + bytes + '"' : bytes;
}

} // namespace

TIniText::TIniText(const QByteArray& fileBytes) {
  QByteArray bytes = fileBytes;
  if (bytes.startsWith("\xFF\xFE")) {
    FUtf16 = true;
    QStringDecoder decode(QStringDecoder::Utf16LE);
    bytes = QString(decode(bytes.mid(2))).toUtf8();
  } else if (bytes.startsWith("\xEF\xBB\xBF")) {
    FPrefix = bytes.left(3);
    bytes = bytes.mid(3);
  }
  qsizetype start = 0;
  while (start < bytes.size()) {
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

std::optional<QString> TIniText::Read(const QString& section, const QString& key) const {
  const int header = FindSection(section);
  if (header < 0)
    return std::nullopt;
  const int end = SectionEnd(header);
  for (int i = header + 1; i < end; ++i) {
    const TParsed p = Parse(FLines[i].Text);
    if (p.Kind == TLineKind::Key && SameName(p.Name, key))
      return QString::fromUtf8(p.Value);
  }
  return std::nullopt;
}

QByteArray TIniText::LineEnd() const {
  for (const TLine& line : FLines)
    if (!line.End.isEmpty())
      return line.End;
  return "\r\n"; // what Windows writes into a new file
}

void TIniText::Write(const QString& section, const QString& key, const QString& value) {
  const QByteArray eol = LineEnd();
  const int header = FindSection(section);
  if (header < 0) {
    if (!FLines.isEmpty() && FLines.back().End.isEmpty())
      FLines.back().End = eol;
    FLines.append({'[' + section.toUtf8() + ']', eol});
    FLines.append({key.toUtf8() + '=' + Storable(value), eol});
    return;
  }
  const int end = SectionEnd(header);
  int lastFilled = header;
  for (int i = header + 1; i < end; ++i) {
    const TParsed p = Parse(FLines[i].Text);
    if (p.Kind == TLineKind::Key && SameName(p.Name, key)) {
      // Keep the key as the file spells it, and its indentation.
      const QByteArray& text = FLines[i].Text;
      qsizetype indent = 0;
      while (indent < text.size() && IsBlank(text[indent]))
        ++indent;
      FLines[i].Text = text.left(indent) + p.Name + '=' + Storable(value);
      return;
    }
    if (!Trimmed(FLines[i].Text).isEmpty())
      lastFilled = i;
  }
  if (FLines[lastFilled].End.isEmpty())
    FLines[lastFilled].End = eol;
  FLines.insert(lastFilled + 1, {key.toUtf8() + '=' + Storable(value), eol});
}

QByteArray TIniText::ToBytes() const {
  QByteArray out = FPrefix;
  for (const TLine& line : FLines)
    out += line.Text + line.End;
  if (!FUtf16)
    return out;
  QStringEncoder encode(QStringEncoder::Utf16LE);
  return "\xFF\xFE" + QByteArray(encode(QString::fromUtf8(out)));
}

namespace IniFile {

std::optional<QString> Read(const QString& path, const QString& section, const QString& key) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return std::nullopt;
  return TIniText(file.readAll()).Read(section, key);
}

bool Write(const QString& path, const QString& section, const QString& key, const QString& value) {
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
  TIniText text(old);
  text.Write(section, key, value);

  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly))
    return false;
  // The settings file holds the proxy password in plain text.
  const QFile::Permissions permissions =
      existed ? info.permissions() : (QFile::ReadOwner | QFile::WriteOwner);
  const QByteArray bytes = text.ToBytes();
  if (out.write(bytes) != bytes.size() || !out.setPermissions(permissions))
    return false;
  return out.commit();
}

} // namespace IniFile
