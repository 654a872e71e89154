#include "ui/pane/html_links.h"

#include <algorithm>

// Link rewriting, flag by flag:
// - ExcludeBaseURL: a link inside the base address's folder is written
//   relative to it ("http://h/d/" + "a.html" -> "a.html"); the base document
//   itself with a fragment or query keeps only those ("#top"); "about:blank",
//   where an unsaved document lives, is taken off links resolved against it
//   ("about:blank#top" -> "#top", "about:x.html" -> "x.html"). A link that
//   would read differently once shortened (root paths, a first segment with a
//   colon) is shortened safely ("./c:x") or kept.
// - ExcludeFileProtocol: "file:" links become local paths: "file:///C:/a" ->
//   "C:/a", "file:///home/a" -> "/home/a", "file://localhost/home/a" ->
//   "/home/a", "file://server/share/a" -> "//server/share/a".
// - UseBackSlashAsPathDelimiter: only links to places named the Windows way
//   (drive-letter paths, shares on another machine, as "file:" links or as
//   paths, and what the first two flags leave of them) are turned; their
//   path, not a "file://" prefix, query or fragment, uses "\". Here a path's
//   delimiter is "/" and "\" is an ordinary character of a file name, so a
//   "/" path or a "file:" link to one would name another file once turned:
//   those stay as they are, as do web links.
// Percent-escapes are kept as they are: decoding them would change what a
// later reader resolves.

namespace {

bool IsDriveLetterPath(QStringView v) {
  return v.size() >= 3 && v[0].isLetter() && v[0].unicode() < 128 &&
         (v[1] == u':' || v[1] == u'|') && (v[2] == u'/' || v[2] == u'\\');
}

// A local link whose path only a Windows system reads: a drive letter, or
// a share on another machine ("\\\\server", "file://server/share").
bool IsWindowsLocalLink(QStringView v) {
  if (IsDriveLetterPath(v) || v.startsWith(u"\\\\"))
    return true;
  if (!v.startsWith(u"file:", Qt::CaseInsensitive))
    return false;
  QStringView rest = v.mid(5);
  if (rest.startsWith(u"//")) {
    rest = rest.mid(2);
    if (rest.startsWith(u"localhost/", Qt::CaseInsensitive))
      rest = rest.mid(9);
    else if (!rest.isEmpty() && !rest.startsWith(u'/') && !rest.startsWith(u'\\'))
      return true; // a host: a share, or a drive letter written as one
  }
  while (rest.startsWith(u'/') || rest.startsWith(u'\\'))
    rest = rest.mid(1);
  return IsDriveLetterPath(rest);
}

qsizetype FirstOf(QStringView v, qsizetype from, QStringView chars) {
  for (qsizetype i = from; i < v.size(); ++i)
    if (chars.contains(v[i]))
      return i;
  return -1;
}

// The folder a relative link is resolved against, with its final separator;
// empty when the base has none ("about:blank").
QString BaseFolder(const QString& base) {
  const qsizetype cut = FirstOf(base, 0, u"?#");
  const QStringView address = cut < 0 ? QStringView(base) : QStringView(base).left(cut);
  qsizetype pathFrom = 0;
  const qsizetype scheme = address.indexOf(u"://");
  if (scheme >= 0) {
    const qsizetype slash = FirstOf(address, scheme + 3, u"/\\");
    if (slash < 0)
      return address.toString() + u'/';
    pathFrom = slash;
  }
  const qsizetype last = std::max(address.lastIndexOf(u'/'), address.lastIndexOf(u'\\'));
  if (last < pathFrom)
    return {};
  return address.left(last + 1).toString();
}

// A relative link must not start like an absolute one or a scheme.
QString SafeRelative(QStringView rest) {
  if (rest.startsWith(u'/') || rest.startsWith(u'\\'))
    return {};
  const qsizetype segmentEnd = FirstOf(rest, 0, u"/\\?#");
  const QStringView segment = segmentEnd < 0 ? rest : rest.left(segmentEnd);
  if (segment.contains(u':'))
    return QStringLiteral("./") + rest.toString();
  return rest.toString();
}

QString WithoutBase(const QString& link, const QString& base) {
  if (link.startsWith(u"about:blank", Qt::CaseInsensitive)) {
    if (link.size() > 11)
      return link.mid(11);
    return link;
  }
  if (link.startsWith(u"about:", Qt::CaseInsensitive)) {
    // "about:" + a relative reference, not the name of an about: page.
    const QStringView rest = QStringView(link).mid(6);
    if (FirstOf(rest, 0, u"/.#?") >= 0)
      return rest.toString();
    return link;
  }
  if (base.isEmpty())
    return link;
  if (link.size() > base.size() && link.startsWith(base) && FirstOf(base, 0, u"?#") < 0 &&
      (link[base.size()] == u'#' || link[base.size()] == u'?'))
    return link.mid(base.size());
  const QString folder = BaseFolder(base);
  if (folder.isEmpty() || !link.startsWith(folder))
    return link;
  if (link.size() == folder.size())
    return QStringLiteral("./");
  const QString relative = SafeRelative(QStringView(link).mid(folder.size()));
  return relative.isEmpty() ? link : relative;
}

QString WithoutFileProtocol(const QString& link) {
  if (!link.startsWith(u"file:", Qt::CaseInsensitive))
    return link;
  QStringView rest = QStringView(link).mid(5);
  if (rest.startsWith(u"//")) {
    rest = rest.mid(2);
    if (rest.startsWith(u"localhost/", Qt::CaseInsensitive))
      rest = rest.mid(9);
    else if (IsDriveLetterPath(rest))
      return rest.left(1).toString() + u':' + rest.mid(2).toString();
    else if (!rest.startsWith(u'/'))
      return rest.isEmpty() ? link
                            : QStringLiteral("//") + rest.toString(); // a share on another machine
  } else if (!rest.startsWith(u'/')) {
    return link;
  }
  if (IsDriveLetterPath(rest.mid(1)))
    return rest.mid(1, 1).toString() + u':' + rest.mid(3).toString();
  return rest.isEmpty() ? link : rest.toString();
}

QString WithBackSlashes(QString link) {
  qsizetype from = 0;
  if (link.startsWith(u"file:", Qt::CaseInsensitive)) {
    from = 5;
    while (from < link.size() && link[from] == u'/')
      ++from;
  }
  qsizetype to = FirstOf(link, from, u"?#");
  if (to < 0)
    to = link.size();
  for (qsizetype i = from; i < to; ++i)
    if (link[i] == u'/')
      link[i] = u'\\';
  return link;
}

} // namespace

QString RewriteLink(const QString& link, const TLinkRewriting& how) {
  if (link.isEmpty() || !how.RewritesAnything())
    return link;
  const bool windowsPath = IsWindowsLocalLink(link);
  QString result = link;
  if (how.ExcludeBaseURL)
    result = WithoutBase(result, how.BaseURL);
  if (how.ExcludeFileProtocol)
    result = WithoutFileProtocol(result);
  if (how.UseBackSlashAsPathDelimiter && windowsPath)
    result = WithBackSlashes(result);
  return result.isEmpty() ? link : result;
}
