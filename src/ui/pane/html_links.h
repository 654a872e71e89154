#pragma once

#include <QString>
#include <QStringView>

// How links are written under ExcludeFileProtocol, ExcludeBaseURL and
// UseBackSlashAsPathDelimiter.
struct TLinkRewriting {
  bool ExcludeFileProtocol = false;
  bool ExcludeBaseURL = false;
  bool UseBackSlashAsPathDelimiter = false;
  // The href of the document's BASE element; empty without one.
  QString BaseURL;

  bool RewritesAnything() const {
    return ExcludeFileProtocol || ExcludeBaseURL || UseBackSlashAsPathDelimiter;
  }
};

// The link as it is written. Never empty unless the link was.
QString RewriteLink(const QString& link, const TLinkRewriting& how);
