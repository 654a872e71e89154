#include "ui/pane/prof_dhtml_edit.h"

#include "core/error_edge.h"
#include "core/worker_wait.h"
#include "ui/pane/engine/document_engine.h"
#include "ui/pane/engine/dom_export.h"
#include "ui/pane/engine/html_reader.h"
#include "ui/pane/pane_log.h"
#include "ui/pane/pane_text_edit.h"

#include <QTextDocumentFragment>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <memory>
#include <optional>

const QString TProfDHTMLEdit2::BusyMarker = QStringLiteral("BUSY");
const QString TProfDHTMLEdit2::ErrorMarker = QStringLiteral("ERROR");
const QString TProfDHTMLEdit2::TimeoutMessage = QStringLiteral("The operation timed out.");

TProfDHTMLEdit2::TProfDHTMLEdit2(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  FEditor = new TPaneTextEdit(this);
  layout->addWidget(FEditor);
  setFocusProxy(FEditor);
  FEngine = new TDocumentEngine(FEditor, this);
  connect(FEngine, &TDocumentEngine::ContentsChanged, this, &TProfDHTMLEdit2::OnChange);
  connect(FEditor, &QTextEdit::cursorPositionChanged, this, &TProfDHTMLEdit2::OnDisplayChanged);
  connect(FEditor, &TPaneTextEdit::Pasted, this, &TProfDHTMLEdit2::OnPaste);
  FEditor->SetCopySource([this](const QTextDocumentFragment& piece) { return PieceHTML(piece); });
  FEditor->installEventFilter(this);
  FEditor->viewport()->installEventFilter(this);
  SetPending(TPendingOperation::Creating);
  // The pane is busy until its first document is complete, which takes at
  // least one turn of the event loop.
  QMetaObject::invokeMethod(this, &TProfDHTMLEdit2::CompleteStart, Qt::QueuedConnection);
}

TProfDHTMLEdit2::~TProfDHTMLEdit2() {
  CancelFileLoad();
}

double TProfDHTMLEdit2::EngineVersion() {
  return 6.0;
}

QTextEdit* TProfDHTMLEdit2::Editor() const {
  return FEditor;
}

QString TProfDHTMLEdit2::DocumentLocation() const {
  const QUrl& location = FEngine->Document().Location();
  return location.isLocalFile() ? location.toLocalFile() : location.toString();
}

void TProfDHTMLEdit2::CompleteStart() {
  if (FPending != TPendingOperation::Creating)
    return;
  SetPending(TPendingOperation::Idle);
  FocusEditorIfPaneHasFocus();
  emit OnCreate();
}

void TProfDHTMLEdit2::SetPending(TPendingOperation operation) {
  FPending = operation;
  FEditor->setReadOnly(Busy() || FBrowseMode);
  const bool loading = operation == TPendingOperation::LoadingFile ||
                       operation == TPendingOperation::LoadingUrl ||
                       operation == TPendingOperation::LoadingOpenDialogFile;
  if (loading == FBusyCursor)
    return;
  FBusyCursor = loading;
  if (loading) {
    FSavedCursor = FEditor->viewport()->cursor();
    FEditor->viewport()->setCursor(Qt::BusyCursor);
  } else {
    FEditor->viewport()->setCursor(FSavedCursor);
  }
}

void TProfDHTMLEdit2::FocusEditorIfPaneHasFocus() {
  if (hasFocus() || FEditor->hasFocus())
    FEditor->setFocus();
}

QString TProfDHTMLEdit2::DefaultBlockTag() const {
  return FUseDivOnCarriageReturn ? QStringLiteral("div") : QStringLiteral("p");
}

void TProfDHTMLEdit2::SetTimeout(double seconds) {
  if (seconds > 0)
    FTimeout = seconds;
}

void TProfDHTMLEdit2::SetWantTabs(bool on) {
  FWantTabs = on;
  FEditor->setTabChangesFocus(!on);
}

void TProfDHTMLEdit2::SetBrowseMode(bool on) {
  FBrowseMode = on;
  SetPending(FPending);
}

// --- document ---

void TProfDHTMLEdit2::RunBuilding(const std::function<void()>& work, bool readsDocument) const {
  // The pane answers as busy meanwhile: timers still run and may call it.
  FBuilding = true;
  FEditor->setReadOnly(true);
  // While a worker reads the document nothing here may touch it: no paint,
  // no layout.
  const bool updates = FEditor->updatesEnabled();
  if (readsDocument) {
    FEditor->setUpdatesEnabled(false);
    FEngine->PauseLayout(true);
  }
  std::exception_ptr failure;
  try {
    RunOnWorkerThread(work, TWaitInput::Defer);
  } catch (...) {
    failure = std::current_exception();
  }
  FBuilding = false;
  if (readsDocument) {
    FEngine->PauseLayout(false);
    FEditor->setUpdatesEnabled(updates);
  }
  FEditor->setReadOnly(Busy() || FBrowseMode);
  if (failure)
    std::rethrow_exception(failure);
}

QString TProfDHTMLEdit2::DocumentHTML() const {
  if (Busy())
    return BusyMarker;
  try {
    std::optional<QString> source;
    const auto write = [this, &source] {
      const std::unique_ptr<TDomDocument> dom = FEngine->BuildDom(DefaultBlockTag());
      source = RebuildSource(*dom, FEngine->Document().Frame().Prologue, FWriterSettings);
    };
    if (FEngine->Document().characterCount() < LargeDocumentLength)
      write();
    else
      RunBuilding(write, true);
    return source.value_or(ErrorMarker);
  } catch (...) {
    LogCaughtFailure("Reading the document's source");
    return ErrorMarker;
  }
}

// A copied piece written as a document of its own, under the pane's
// options, so another pane (or program) reads elements, not Qt's styles.
QString TProfDHTMLEdit2::PieceHTML(const QTextDocumentFragment& piece) const {
  TEngineDocument document;
  QTextCursor(&document).insertFragment(piece);
  const std::unique_ptr<TDomDocument> dom = BuildDomDocument(document, DefaultBlockTag());
  TSourceWriterSettings settings = FWriterSettings;
  settings.SourceCodePreservation = false;
  // The clipboard gets what a read of the pane would answer, the marker too.
  return RebuildSource(*dom, document.Frame().Prologue, settings).value_or(ErrorMarker);
}

void TProfDHTMLEdit2::SetDocumentHTML(const QString& html) {
  if (Busy())
    return;
  try {
    const QUrl location = FEngine->Document().Location();
    std::unique_ptr<TEngineDocument> document;
    if (html.size() < LargeDocumentLength) {
      document = ReadHtmlDocument(html, location);
    } else {
      QThread* gui = thread();
      RunBuilding(
          [&document, &html, &location, gui] {
            document = ReadHtmlDocument(html, location);
            document->PrepareLayout();
            document->moveToThread(gui);
          },
          false);
    }
    FEngine->SetDocument(std::move(document));
  } catch (...) {
    LogCaughtFailure("Writing the document's source");
    return;
  }
  emit OnSetSource();
}

bool TProfDHTMLEdit2::DeclareCharsetInPlace(const QString& declaration) {
  if (Busy() || FEngine->Updating() || !FEngine->Document().IsPlainTextAsRead())
    return false;
  const std::unique_ptr<TEngineDocument> parsed = ReadHtmlDocument(declaration, QUrl());
  std::vector<TKeptNode>& head = FEngine->Document().Frame().Head;
  std::erase_if(head, [](const TKeptNode& node) {
    if (node.Kind != TDomNode::TKind::Element || node.TagName != u"meta")
      return false;
    return std::any_of(node.Attributes.begin(), node.Attributes.end(), [](const auto& attribute) {
      return attribute.Name == u"charset" ||
             (attribute.Name == u"http-equiv" &&
              attribute.Value.trimmed().compare(u"content-type", Qt::CaseInsensitive) == 0);
    });
  });
  for (const TKeptNode& node : parsed->Frame().Head)
    head.push_back(node);
  emit OnSetSource();
  return true;
}

QString TProfDHTMLEdit2::BodyText() const {
  if (Busy())
    return BusyMarker;
  try {
    QString text = FEngine->BodyText();
    if (!FUseDivOnCarriageReturn && !FUseBrOnCarriageReturn)
      text.replace(QStringLiteral("\r\n"), QStringLiteral("\r\n\r\n"));
    return text;
  } catch (...) {
    LogCaughtFailure("Reading the body text");
    return ErrorMarker;
  }
}

void TProfDHTMLEdit2::SetBodyText(const QString& text) {
  if (Busy())
    return;
  try {
    if (FEngine->BodyText() != text)
      FEngine->SetBodyText(text);
  } catch (...) {
    LogCaughtFailure("Writing the body text");
  }
}

void TProfDHTMLEdit2::SetFontName(const QString& faceName) {
  if (Busy() || faceName.trimmed().isEmpty())
    return;
  QTextCharFormat format;
  format.setFontFamilies({faceName});
  FEngine->MergeCharFormat(format);
}

// --- selection and search ---

QString TProfDHTMLEdit2::SelText() const {
  if (Busy())
    return BusyMarker;
  return FEngine->SelectedText();
}

void TProfDHTMLEdit2::SetSelText(const QString& text) {
  if (Busy() || FEngine->SelectionIsObject())
    return;
  try {
    FEngine->ReplaceSelection(text);
  } catch (...) {
    LogCaughtFailure("Replacing the selection");
  }
}

int TProfDHTMLEdit2::SelStart() const {
  if (Busy() || FEngine->SelectionIsObject())
    return -1;
  return FEngine->ShownPosition(FEngine->Selection().selectionStart());
}

bool TProfDHTMLEdit2::FindText(const QString& text, bool wholeWord, bool matchCase) {
  if (Busy())
    return false;
  FFindText = PlainTextToDisplay(text);
  FFindWholeWord = wholeWord;
  FFindMatchCase = matchCase;
  return FindFrom(0);
}

bool TProfDHTMLEdit2::FindNext() {
  if (FFindText.isEmpty() || Busy())
    return false;
  // After a match the search goes on just after its start; after a
  // replacement (a caret, no selection) right at the caret, so occurrences
  // that follow each other are all found.
  const QTextCursor selection = FEngine->Selection();
  return FindFrom(selection.hasSelection() ? FEngine->ShownPosition(selection.selectionStart()) + 1
                                           : FEngine->ShownPosition(selection.position()));
}

// A search that finds nothing forgets itself, so FindNext has nothing to
// go on with.
bool TProfDHTMLEdit2::FindFrom(int shownPosition) {
  const TDocumentEngine::TMatch found =
      FEngine->Find(FFindText, shownPosition, FFindWholeWord, FFindMatchCase);
  if (found.Start < 0) {
    FFindText.clear();
    FFindWholeWord = false;
    FFindMatchCase = false;
    return false;
  }
  FEngine->Select(found.Start, found.End);
  return true;
}

// --- redrawing ---

int TProfDHTMLEdit2::BeginUpdate() {
  if (FUpdateCount++ == 0) {
    FEditor->setUpdatesEnabled(false);
    FEngine->BeginUpdate();
  }
  return FUpdateCount;
}

int TProfDHTMLEdit2::EndUpdate() {
  if (FUpdateCount == 0)
    return 0;
  if (--FUpdateCount == 0) {
    FEngine->EndUpdate();
    FEditor->setUpdatesEnabled(true);
    if (isVisible())
      FEditor->viewport()->update();
  }
  return FUpdateCount;
}
