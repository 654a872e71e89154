#include "ui/main/pane_write_back.h"

#include "ui/main/pane_html.h"
#include "ui/main/translate_command.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QScopeGuard>

bool IsMarker(const QString& read) {
  return read == TProfDHTMLEdit2::BusyMarker || read == TProfDHTMLEdit2::ErrorMarker;
}

QString SourceToWriteBack(TProfDHTMLEdit2& pane) {
  using TOption = TProfDHTMLEditSourceCodeOption;
  const TProfDHTMLEditSourceCodeOptions options = pane.SourceCodeOptions();
  pane.SetSourceCodeOptions(options & ~TProfDHTMLEditSourceCodeOptions(
                                          TOption::HideBaseElement | TOption::ExcludeBaseURL |
                                          TOption::ExcludeFileProtocol |
                                          TOption::UseBackSlashAsPathDelimiter));
  const auto restore = qScopeGuard([&] { pane.SetSourceCodeOptions(options); });
  return pane.DocumentHTML();
}

bool LoadDeclaredUtf8(TProfDHTMLEdit2& pane, const QString& fileName) {
  const bool loaded = pane.LoadFromFile(fileName);
  // A text file's document reads back from its source as it is, so only the
  // declaration changes: writing a long one out and reading it in again
  // took twice as long as the load itself.
  if (pane.DeclareCharsetInPlace(Utf8MetaHeader))
    return loaded;
  // A marker written back would replace the loaded document with its word.
  const QString html = SourceToWriteBack(pane);
  if (!IsMarker(html))
    pane.SetDocumentHTML(WithUtf8Header(html));
  return loaded;
}
