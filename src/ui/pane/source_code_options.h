#pragma once

#include <QFlags>
#include <QList>
#include <QString>

// Flags that shape the HTML source a pane hands out, bit 0 first.
enum class TProfDHTMLEditSourceCodeOption : quint16 {
  LowercaseElementNames = 1 << 0,
  TerminateEmptyElements = 1 << 1,
  AddSpaceInTerminatedEmptyElements = 1 << 2,
  TerminateComments = 1 << 3,
  LowercaseAttributeNames = 1 << 4,
  QuoteAttributeValues = 1 << 5,
  UnminimizeBooleanAttributes = 1 << 6,
  LowercaseStylePropertyNames = 1 << 7,
  UseEntityReferences = 1 << 8,
  Preserve8BitCharacters = 1 << 9,
  HideBaseElement = 1 << 10,
  ExcludeFileProtocol = 1 << 11,
  ExcludeBaseURL = 1 << 12,
  UseBackSlashAsPathDelimiter = 1 << 13,
  IndentSource = 1 << 14,
  AddNbsp = 1 << 15,
};
Q_DECLARE_FLAGS(TProfDHTMLEditSourceCodeOptions, TProfDHTMLEditSourceCodeOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TProfDHTMLEditSourceCodeOptions)

inline constexpr TProfDHTMLEditSourceCodeOptions AllSourceCodeOptions =
    TProfDHTMLEditSourceCodeOptions::fromInt(0xFFFF);

// One renaming of element names in the rebuilt source.
struct TProfDHTMLEditTagsSubstitutionItem {
  QString OriginalTag;
  QString ReplacementTag;
};
using TProfDHTMLEditTagsSubstitution = QList<TProfDHTMLEditTagsSubstitutionItem>;
