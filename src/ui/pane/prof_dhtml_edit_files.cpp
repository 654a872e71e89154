#include "ui/pane/prof_dhtml_edit.h"

#include "core/error_edge.h"
#include "core/program_messages.h"
#include "core/system_reason.h"
#include "settings/program_dir.h"
#include "ui/pane/engine/document_engine.h"
#include "ui/pane/engine/html_reader.h"
#include "ui/pane/file_loading.h"
#include "ui/pane/pane_dialogs.h"
#include "ui/pane/save_encoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMetaMethod>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPromise>
#include <QSaveFile>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <exception>
#include <memory>
#include <optional>

// The pane's files: loading one off the GUI thread and waiting for it
// within the time-out, saving the document's source, printing it.

namespace {
Q_LOGGING_CATEGORY(PaneFiles, "tralvesco.pane.files")
} // namespace

TLoadedDocument::TBuilt::~TBuilt() = default;

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
  if (!info.isFile() || !info.isReadable() || info.size() > PaneFileByteLimit(path)) {
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
  std::optional<QString> source;
  try {
    const std::unique_ptr<TDomDocument> dom = FEngine->BuildDom(DefaultBlockTag());
    source = RebuildSource(*dom, FEngine->Document().Frame().Prologue, settings);
  } catch (...) {
    source.reset();
  }
  if (!source) {
    PaneDialogs::ShowSimpleMessage(this, MessageText(TMessage::DocumentNotSaved));
    return {};
  }
  const QByteArray bytes = EncodeSavedDocument(*source);
  QSaveFile file(fileName);
  // The system's error number, taken right after the step that failed: Qt's
  // own text for it is in the system's language, not the interface's.
  errno = 0;
  bool saved = file.open(QIODevice::WriteOnly);
  if (saved) {
    saved = file.write(bytes) == bytes.size();
    if (saved)
      saved = file.commit();
  }
  if (!saved) {
    const int failure = errno;
    const QString reason = QFileInfo(fileName).isDir() ? SystemReason(EISDIR)
                           : failure != 0              ? SystemReason(failure)
                                                       : file.errorString();
    qCWarning(PaneFiles, "saving %s failed: %s (%s)", qUtf8Printable(fileName),
              qUtf8Printable(file.errorString()), qUtf8Printable(reason));
    PaneDialogs::ShowSimpleMessage(
        this, MessageText(TMessage::CannotSave).arg(QDir::toNativeSeparators(fileName), reason));
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
          [this](QPrinter* printer) { RunHandler([&] { FEngine->Document().print(printer); }); });
  PaneDialogs::RunPrintPreview(dialog);
  return true;
}
