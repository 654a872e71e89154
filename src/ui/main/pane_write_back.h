#pragma once

#include <QString>

class TProfDHTMLEdit2;

// Writing a pane's own document back into a pane: the open command's
// declaration and the Swap command.

// The pane's answer to a read that failed, not a document.
bool IsMarker(const QString& read);

// The pane's source to write back into a pane, with the base element and
// every link as the document has them: the source a pane hands out hides
// its base and shortens links, and a document written back from that would
// point elsewhere.
QString SourceToWriteBack(TProfDHTMLEdit2& pane);

// The open command's work on the pane: the file loaded, then its source
// with the UTF-8 header appended written back (the header replacing the
// document's own declarations), whether the file loaded or not. The pane's
// own refusals and failures stand; false when the file did not load.
bool LoadDeclaredUtf8(TProfDHTMLEdit2& pane, const QString& fileName);
