#include "ui/pane/prof_dhtml_edit.h"

#include "core/error_edge.h"
#include "core/program_messages.h"
#include "core/system_reason.h"
#include "core/worker_wait.h"
#include "settings/program_dir.h"
#include "ui/pane/engine/document_engine.h"
#include "ui/pane/engine/html_reader.h"
#include "ui/pane/file_loading.h"
#include "ui/pane/pane_dialogs.h"
#include "ui/pane/save_encoding.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMetaMethod>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <exception>
#include <memory>
#include <optional>
#include <utility>

// The pane's files: loading one off the GUI thread and waiting for it
// within the time-out, saving the document's source, printing it.

namespace {
Q_LOGGING_CATEGORY(PaneFiles, "tralvesco.pane.files")
} // namespace

TFileLoad::~TFileLoad() = default;

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
  if (loaded)
    FEngine->Document().MarkAsRead();
  return loaded;
}

bool TProfDHTMLEdit2::StartFileLoad(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile() || !info.isReadable() || info.size() > PaneFileByteLimit(path)) {
    // Nothing will complete, so there is nothing to wait for.
    SetPending(TPendingOperation::Idle);
    return false;
  }
  auto load = std::make_shared<TFileLoad>();
  FLoad = load;
  FLoadError.clear();
  // Reading, parsing and building the document all happen off the GUI
  // thread: for a long file each takes seconds.
  StartWorkerJob(
      [load, path = info.absoluteFilePath(), gui = thread()](const std::atomic_bool& quitting) {
        const auto stopped = [&load, &quitting] { return quitting || load->Cancelled; };
        const TLoadedFile loaded = ReadPaneFile(path, stopped);
        if (!loaded.Ok || stopped())
          return;
        try {
          const QUrl location = QUrl::fromLocalFile(path);
          std::unique_ptr<TEngineDocument> document =
              loaded.IsHtml ? ReadHtmlDocument(loaded.Text, location)
                            : ReadPlainTextDocument(loaded.Text, location, stopped);
          document->PrepareLayout();
          if (stopped())
            return;
          // Let go of on the GUI thread, whether used or not.
          document->moveToThread(gui);
          load->Document = std::move(document);
          load->Ok = true;
        } catch (const std::exception& error) {
          load->Error = QString::fromLocal8Bit(error.what());
        }
      },
      this, [this, load] { FinishFileLoad(load); });
  return true;
}

void TProfDHTMLEdit2::CancelFileLoad() {
  if (FLoad)
    FLoad->Cancelled = true;
  FLoad.reset();
}

void TProfDHTMLEdit2::FinishFileLoad(const std::shared_ptr<TFileLoad>& load) {
  if (load != FLoad || FPending != TPendingOperation::LoadingFile) {
    // A load given up on (a time-out, a newer load): its document goes
    // without holding the window.
    if (load->Document)
      DisposeOnWorkerThread(load->Document.release());
    return;
  }
  FLoad.reset();
  QString error = load->Error;
  const bool ok = load->Ok && load->Document;
  if (ok) {
    try {
      FEngine->SetDocument(std::move(load->Document));
    } catch (const std::exception& failure) {
      error = QString::fromLocal8Bit(failure.what());
    }
  }
  FWaitResult = ok && error.isEmpty();
  FLoadError = error;
  SetPending(TPendingOperation::Idle);
  if (!error.isEmpty())
    return;
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
  const bool reset = operation == TPendingOperation::TimeoutReset;
  TWaitEnd end = TWaitEnd::Done;
  try {
    end = WaitInEventLoop([this] { return !Busy(); }, reset ? -1 : limit, TWaitInput::Defer);
  } catch (const std::exception& error) {
    FLoadError = QString::fromLocal8Bit(error.what());
  }
  if (end == TWaitEnd::Done && FLoadError.isEmpty())
    return FWaitResult;
  // Given up on, the load in flight changes nothing any more.
  CancelFileLoad();
  SetPending(TPendingOperation::Idle);
  EndUpdate();
  if (end == TWaitEnd::TimedOut) {
    WaitForOperation(TPendingOperation::TimeoutReset, [this] {
      ResetAfterTimeout();
      return true;
    });
    return false;
  }
  if (end == TWaitEnd::Quit)
    return false;
  qCWarning(PaneFiles, "loading failed: %s", qUtf8Printable(FLoadError));
  PaneDialogs::ShowSimpleMessage(this, std::exchange(FLoadError, {}));
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
