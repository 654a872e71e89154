#include "ui/pane/prof_dhtml_edit.h"

#include "settings/program_dir.h"
#include "ui/pane/engine/document_engine.h"
#include "ui/pane/engine/dom_export.h"
#include "ui/pane/engine/html_reader.h"
#include "ui/pane/engine/html_style.h"
#include "ui/pane/engine/raw_source.h"
#include "ui/pane/file_loading.h"
#include "ui/pane/pane_dialogs.h"
#include "ui/pane/pane_text_edit.h"
#include "ui/pane/save_encoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPromise>
#include <QSaveFile>
#include <QTextDocumentFragment>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <exception>
#include <memory>

TLoadedDocument::TBuilt::~TBuilt() = default;

namespace {

// Runs work on a thread of its own while this thread's event loop goes on,
// user input held back, so the window keeps painting; rethrows what the
// work threw. The work must not touch widgets.
void RunBesideEventLoop(const std::function<void()>& work) {
  std::exception_ptr failure;
  const std::unique_ptr<QThread> worker(QThread::create([&work, &failure] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
  }));
  QEventLoop loop;
  QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  constexpr QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeUserInputEvents;
  loop.exec(flags);
  // A request to leave every event loop ends this one early; the work still
  // has to finish before what it captured may go.
  while (!worker->isFinished())
    loop.processEvents(flags | QEventLoop::WaitForMoreEvents);
  worker->wait();
  if (failure)
    std::rethrow_exception(failure);
}

} // namespace

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
  FLoadWatcher = new QFutureWatcher<TLoadedDocument>(this);
  connect(FLoadWatcher, &QFutureWatcher<TLoadedDocument>::finished, this,
          [this] { FinishFileLoad(FLoadGeneration); });
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
  ++FLoadGeneration;
  FLoadWatcher->future().cancel();
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
  const QPointer<const TProfDHTMLEdit2> self(this);
  std::exception_ptr failure;
  try {
    RunBesideEventLoop(work);
  } catch (...) {
    failure = std::current_exception();
  }
  if (self) {
    FBuilding = false;
    if (readsDocument) {
      FEngine->PauseLayout(false);
      FEditor->setUpdatesEnabled(updates);
    }
    FEditor->setReadOnly(Busy() || FBrowseMode);
  }
  if (failure)
    std::rethrow_exception(failure);
}

QString TProfDHTMLEdit2::DocumentHTML() const {
  if (Busy())
    return BusyMarker;
  try {
    QString source;
    const auto write = [this, &source] {
      const std::unique_ptr<TDomDocument> dom = FEngine->BuildDom(DefaultBlockTag());
      const QString raw =
          DecodeSavedSource(FEngine->RawSavedSource(*dom, FWriterSettings.SourceCodePreservation));
      source = RebuildSource(*dom, raw, FWriterSettings);
    };
    if (FEngine->Document().characterCount() < LargeDocumentLength)
      write();
    else
      RunBuilding(write, true);
    return source;
  } catch (...) {
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
  return RebuildSource(
      *dom, DecodeSavedSource(SerializeRawSource(*dom, document.Frame().Prologue, false)),
      settings);
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
      const QPointer<TProfDHTMLEdit2> self(this);
      QThread* gui = thread();
      RunBuilding(
          [&document, &html, &location, gui] {
            document = ReadHtmlDocument(html, location);
            document->moveToThread(gui);
          },
          false);
      if (!self)
        return;
    }
    FEngine->SetDocument(std::move(document));
  } catch (...) {
    return;
  }
  emit OnSetSource();
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
  }
}

bool TProfDHTMLEdit2::LoadFromFile(const QString& fileName) {
  if (Busy() || fileName.isEmpty())
    return false;
  const QString path = fileName.contains(u'/') ? fileName : ProgramDir() + fileName;
  if (!QFileInfo::exists(path))
    return false;
  BeginUpdate();
  const bool loaded = WaitForOperation(TPendingOperation::LoadingFile,
                                       [this, &path] { return StartFileLoad(path); });
  EndUpdate();
  return loaded;
}

bool TProfDHTMLEdit2::StartFileLoad(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile() || !info.isReadable() || info.size() > MaxPaneFileBytes) {
    // Nothing will complete, so there is nothing to wait for.
    SetPending(TPendingOperation::Idle);
    return false;
  }
  FLoadPath = info.absoluteFilePath();
  auto promise = std::make_shared<QPromise<TLoadedDocument>>();
  QFuture<TLoadedDocument> future = promise->future();
  promise->start();
  // Reading, parsing and building the document all happen off the GUI
  // thread: for a long file each takes seconds.
  QThreadPool::globalInstance()->start([promise, path = FLoadPath, gui = thread()] {
    TLoadedDocument result;
    const TLoadedFile loaded = ReadPaneFile(path, [&promise] { return promise->isCanceled(); });
    if (loaded.Ok && !promise->isCanceled()) {
      try {
        const QUrl location = QUrl::fromLocalFile(path);
        std::unique_ptr<TEngineDocument> document =
            loaded.IsHtml ? ReadHtmlDocument(loaded.Text, location)
                          : ReadPlainTextDocument(loaded.Text, location);
        document->moveToThread(gui);
        result.Built = std::make_shared<TLoadedDocument::TBuilt>();
        result.Built->Document = std::move(document);
        result.Ok = true;
      } catch (const std::exception& error) {
        result.Error = QString::fromLocal8Bit(error.what());
      }
    }
    promise->addResult(std::move(result));
    promise->finish();
  });
  ++FLoadGeneration;
  FLoadWatcher->setFuture(future);
  return true;
}

void TProfDHTMLEdit2::FinishFileLoad(quint64 generation) {
  const QFuture<TLoadedDocument> future = FLoadWatcher->future();
  if (generation != FLoadGeneration || FPending != TPendingOperation::LoadingFile ||
      future.isCanceled())
    return;
  const TLoadedDocument loaded = future.isResultReadyAt(0) ? future.resultAt(0) : TLoadedDocument();
  QString error = loaded.Error;
  const bool ok = loaded.Ok && loaded.Built && loaded.Built->Document;
  if (ok) {
    try {
      FEngine->SetDocument(std::move(loaded.Built->Document));
    } catch (const std::exception& failure) {
      error = QString::fromLocal8Bit(failure.what());
    }
  }
  if (!error.isEmpty()) {
    FWaitResult = false;
    SetPending(TPendingOperation::Idle);
    EndUpdate();
    PaneDialogs::ShowSimpleMessage(this, error);
    return;
  }
  FWaitResult = ok;
  SetPending(TPendingOperation::Idle);
  FocusEditorIfPaneHasFocus();
  emit OnLoadFromFile();
}

bool TProfDHTMLEdit2::WaitForOperation(TPendingOperation operation,
                                       const std::function<bool()>& start) {
  // Huge values would overflow the tick count; a day is forever here.
  const qint64 limit = qRound64(std::min(FTimeout, 86400.0 * 365) * 1000.0);
  SetPending(operation);
  FWaitResult = start();
  const bool load = operation == TPendingOperation::LoadingUrl ||
                    operation == TPendingOperation::LoadingFile ||
                    operation == TPendingOperation::LoadingOpenDialogFile;
  if (load && EngineVersion() >= 7.0)
    return FWaitResult;
  const QPointer<TProfDHTMLEdit2> self(this);
  QElapsedTimer clock;
  clock.start();
  // Wakes the loop at the limit when no other event arrives.
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  try {
    while (self && Busy()) {
      if (operation != TPendingOperation::TimeoutReset && !wake.isActive())
        wake.start(static_cast<int>(std::clamp<qint64>(limit - clock.elapsed() + 1, 1, INT_MAX)));
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      if (!self)
        return false;
      if (operation != TPendingOperation::TimeoutReset && Busy() && clock.elapsed() > limit) {
        ++FLoadGeneration;
        FLoadWatcher->future().cancel();
        EndUpdate();
        WaitForOperation(TPendingOperation::TimeoutReset, [this] {
          ResetAfterTimeout();
          return true;
        });
        return false;
      }
    }
  } catch (const std::exception& error) {
    if (!self)
      return false;
    SetPending(TPendingOperation::Idle);
    EndUpdate();
    PaneDialogs::ShowSimpleMessage(this, QString::fromLocal8Bit(error.what()));
  }
  return FWaitResult;
}

void TProfDHTMLEdit2::ResetAfterTimeout() {
  FEngine->NewBlankDocument();
  SetPending(TPendingOperation::Idle);
  if (isSignalConnected(QMetaMethod::fromSignal(&TProfDHTMLEdit2::OnTimeout)))
    emit OnTimeout();
  else
    PaneDialogs::ShowSimpleMessage(this, TimeoutMessage);
}

QString TProfDHTMLEdit2::SaveAs(const QString& initialFolder) {
  if (Busy())
    return {};
  QString fileName = PaneDialogs::AskSaveFileName(this, initialFolder);
  if (fileName.isEmpty())
    return {};
  if (QFileInfo(fileName).suffix().isEmpty())
    fileName += QStringLiteral(".html");
  TSourceWriterSettings settings = FWriterSettings;
  settings.SourceCodePreservation = false;
  settings.SourceCodeOptions.setFlag(TProfDHTMLEditSourceCodeOption::HideBaseElement, false);
  settings.SourceCodeOptions.setFlag(TProfDHTMLEditSourceCodeOption::ExcludeBaseURL, false);
  settings.SourceCodeOptions.setFlag(TProfDHTMLEditSourceCodeOption::ExcludeFileProtocol, true);
  QString source;
  try {
    const std::unique_ptr<TDomDocument> dom = FEngine->BuildDom(DefaultBlockTag());
    source = RebuildSource(*dom, DecodeSavedSource(FEngine->RawSavedSource(*dom, false)), settings);
  } catch (...) {
    source = ErrorMarker;
  }
  // Writing the marker in place of the document would pass a failure off
  // as a saved file.
  if (source == ErrorMarker) {
    PaneDialogs::ShowSimpleMessage(this, QStringLiteral("The document could not be saved."));
    return {};
  }
  const QByteArray bytes = EncodeSavedDocument(source);
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    PaneDialogs::ShowSimpleMessage(
        this, QStringLiteral("Cannot save \"%1\": %2")
                  .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    return {};
  }
  FEngine->Document().SetLocation(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
  return fileName;
}

bool TProfDHTMLEdit2::PrintPreview() {
  if (Busy())
    return false;
  QPrintPreviewDialog dialog(this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* printer) { FEngine->Document().print(printer); });
  PaneDialogs::RunPrintPreview(dialog);
  return true;
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
  }
}

int TProfDHTMLEdit2::SelStart() const {
  if (Busy() || FEngine->SelectionIsObject())
    return -1;
  return FEngine->Selection().selectionStart();
}

bool TProfDHTMLEdit2::FindText(const QString& text, bool wholeWord, bool matchCase) {
  if (Busy())
    return false;
  const QString needle = PlainTextToDisplay(text);
  const int found = FEngine->Find(needle, 0, wholeWord, matchCase);
  if (found < 0) {
    FFindText.clear();
    FFindWholeWord = false;
    FFindMatchCase = false;
    return false;
  }
  FEngine->Select(found, found + static_cast<int>(needle.size()));
  FFindText = needle;
  FFindWholeWord = wholeWord;
  FFindMatchCase = matchCase;
  return true;
}

bool TProfDHTMLEdit2::FindNext() {
  if (FFindText.isEmpty() || Busy())
    return false;
  // After a match the search goes on just after its start; after a
  // replacement (a caret, no selection) right at the caret, so occurrences
  // that follow each other are all found.
  const QTextCursor selection = FEngine->Selection();
  const int from = selection.hasSelection() ? selection.selectionStart() + 1 : selection.position();
  const int found = FEngine->Find(FFindText, from, FFindWholeWord, FFindMatchCase);
  if (found < 0) {
    FFindText.clear();
    FFindWholeWord = false;
    FFindMatchCase = false;
    return false;
  }
  FEngine->Select(found, found + static_cast<int>(FFindText.size()));
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

// --- input ---

bool TProfDHTMLEdit2::HandleKeyPress(QKeyEvent* event) {
  if (FEditor->isReadOnly())
    return false;
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
    // In a list Enter keeps its meaning: a new item.
    if (FEngine->CaretInList())
      return false;
    if (FUseBrOnCarriageReturn && !FEngine->CaretInHeading()) {
      FEngine->InsertLineBreak();
      return true;
    }
    return FEngine->InsertParagraph(DefaultBlockTag());
  }
  if (modifiers == Qt::ControlModifier &&
      (key == Qt::Key_B || key == Qt::Key_I || key == Qt::Key_U)) {
    const QTextCharFormat current = FEditor->textCursor().charFormat();
    QTextCharFormat change;
    if (key == Qt::Key_B)
      change.setFontWeight(HtmlStyle::IsBold(current) ? QFont::Normal : QFont::Bold);
    else if (key == Qt::Key_I)
      change.setFontItalic(!current.fontItalic());
    else
      change.setFontUnderline(!current.fontUnderline());
    FEngine->MergeCharFormat(change);
    return true;
  }
  return false;
}

bool TProfDHTMLEdit2::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FEditor) {
    switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      emit OnKeyDown(key->key(), key->modifiers());
      if (HandleKeyPress(key))
        return true;
      if (!key->text().isEmpty())
        emit OnKeyPress(key->text());
      break;
    }
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      emit OnKeyUp(key->key(), key->modifiers());
      break;
    }
    case QEvent::FocusIn:
      emit OnEnter();
      break;
    case QEvent::FocusOut:
      emit OnExit();
      break;
    default:
      break;
    }
  } else if (watched == FEditor->viewport()) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      emit OnMouseDown(mouse->button(), mouse->modifiers(), mouse->position().toPoint());
      break;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      emit OnMouseUp(mouse->button(), mouse->modifiers(), mouse->position().toPoint());
      emit OnClick();
      break;
    }
    case QEvent::MouseButtonDblClick:
      emit OnDblClick();
      break;
    default:
      break;
    }
  }
  return QWidget::eventFilter(watched, event);
}
