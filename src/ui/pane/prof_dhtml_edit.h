#pragma once

#include "ui/pane/file_loading.h"
#include "ui/pane/html_source_writer.h"
#include "ui/pane/source_code_options.h"

#include <QCursor>
#include <QTextDocumentFragment>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

class QTextEdit;
class TDocumentEngine;
class TEngineDocument;
class TPaneTextEdit;

// A file being read and built into a document on a worker thread. The
// worker fills it; the GUI thread reads it once the worker has ended.
struct TFileLoad {
  std::atomic_bool Cancelled = false;
  bool Ok = false;
  std::unique_ptr<TEngineDocument> Document; // belongs to the GUI thread
  QString Error;                             // the document could not be built
  ~TFileLoad();
};

// The editor pane: an HTML document in editing mode with the document-level
// operations the program uses. Reads answer "BUSY" while the pane is busy
// (starting, loading, resetting) and "ERROR" when the document cannot be
// read; writes are ignored while busy. Text positions count each shown
// character, each line break and each image as one; a kept node (a comment,
// a script) is not shown and counts none.
//
// Which calls run the event loop (so that timers, repaints and close
// requests are handled inside them, while user input waits): LoadFromFile
// (the load and, after a time-out, the message), DocumentHTML and
// SetDocumentHTML for a document of LargeDocumentLength characters or more
// (the work runs on a worker thread meanwhile), SaveAs and PrintPreview
// (their dialogs, and a failure's message). Every other call returns
// without running it. Waits use RunOnWorkerThread / WaitInEventLoop, which
// also hold back deleteLater until they end, so the pane outlives a wait
// it is in.
class TProfDHTMLEdit2 : public QWidget {
  Q_OBJECT
public:
  // What the pane waits for; the pane is busy while it is not Idle.
  enum class TPendingOperation : quint8 {
    Idle = 0,
    Creating = 1,
    TimeoutReset = 2,
    LoadingUrl = 3,
    LoadingFile = 4,
    Stopping = 5,
    LoadingOpenDialogFile = 7,
    UrlFailed = 8,
  };

  static const QString BusyMarker;
  static const QString ErrorMarker;
  static const QString TimeoutMessage;

  explicit TProfDHTMLEdit2(QWidget* parent = nullptr);
  ~TProfDHTMLEdit2() override;

  // The engine's version number: loads are waited for below 7.0, change
  // notifications exist from 5.5 on.
  static double EngineVersion();

  // --- document ---
  QString DocumentHTML() const;
  void SetDocumentHTML(const QString& html);
  // The document's content-type and charset declarations replaced by the
  // META element `declaration` at the end of its head, as writing its source
  // back with the declaration appended would leave it. Only a document as
  // read from a text file takes it this way, where the source would read
  // back unchanged; for any other, false and nothing changes.
  bool DeclareCharsetInPlace(const QString& declaration);
  QString BodyText() const;
  void SetBodyText(const QString& text);
  // A bare name is looked for in the program's folder. False when the file is
  // missing or cannot be read (the document stays), or when the load times out.
  bool LoadFromFile(const QString& fileName);
  // Asks for a name in the pane's save dialog and writes the document's
  // source there; the name written to, empty when cancelled or failed.
  QString SaveAs(const QString& initialFolder = QString());
  bool PrintPreview();
  void SetFontName(const QString& faceName);

  // --- selection and search ---
  QString SelText() const;
  void SetSelText(const QString& text);
  // Start of the selection in text positions; -1 while busy.
  int SelStart() const;
  bool FindText(const QString& text, bool wholeWord, bool matchCase);
  bool FindNext();

  // --- redrawing ---
  int BeginUpdate();
  int EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // --- properties ---
  double Timeout() const { return FTimeout; }
  // Values of 0 or less are ignored.
  void SetTimeout(double seconds);
  TProfDHTMLEditSourceCodeOptions SourceCodeOptions() const {
    return FWriterSettings.SourceCodeOptions;
  }
  void SetSourceCodeOptions(TProfDHTMLEditSourceCodeOptions options) {
    FWriterSettings.SourceCodeOptions = options;
  }
  bool SourceCodePreservation() const { return FWriterSettings.SourceCodePreservation; }
  void SetSourceCodePreservation(bool on) { FWriterSettings.SourceCodePreservation = on; }
  QString DOCTYPE() const { return FWriterSettings.DOCTYPE; }
  void SetDOCTYPE(const QString& doctype) { FWriterSettings.DOCTYPE = doctype; }
  const TProfDHTMLEditTagsSubstitution& TagsSubstitution() const {
    return FWriterSettings.TagsSubstitution;
  }
  void SetTagsSubstitution(const TProfDHTMLEditTagsSubstitution& items) {
    FWriterSettings.TagsSubstitution = items;
  }
  bool UseBrOnCarriageReturn() const { return FUseBrOnCarriageReturn; }
  void SetUseBrOnCarriageReturn(bool on) { FUseBrOnCarriageReturn = on; }
  bool UseDivOnCarriageReturn() const { return FUseDivOnCarriageReturn; }
  void SetUseDivOnCarriageReturn(bool on) { FUseDivOnCarriageReturn = on; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool on);
  bool BrowseMode() const { return FBrowseMode; }
  void SetBrowseMode(bool on);

  TPendingOperation PendingOperation() const { return FPending; }
  bool Busy() const { return FPending != TPendingOperation::Idle || FBuilding; }
  // The file the document was loaded from or saved to; empty otherwise.
  QString DocumentLocation() const;
  QTextEdit* Editor() const;

signals:
  void OnCreate();
  void OnChange();
  void OnSetSource();
  void OnLoadFromFile();
  void OnTimeout();
  void OnDisplayChanged();
  void OnPaste();
  void OnKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void OnKeyPress(const QString& text);
  void OnKeyUp(int key, Qt::KeyboardModifiers modifiers);
  void OnClick();
  void OnDblClick();
  void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& position);
  void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& position);
  void OnEnter();
  void OnExit();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CompleteStart();
  void SetPending(TPendingOperation operation);
  bool WaitForOperation(TPendingOperation operation, const std::function<bool()>& start);
  void ResetAfterTimeout();
  bool StartFileLoad(const QString& path);
  void FinishFileLoad(const std::shared_ptr<TFileLoad>& load);
  void CancelFileLoad();
  bool HandleKeyPress(QKeyEvent* event);
  QString DefaultBlockTag() const;
  QString PieceHTML(const QTextDocumentFragment& piece) const;
  void FocusEditorIfPaneHasFocus();
  void RunBuilding(const std::function<void()>& work, bool readsDocument) const;
  bool FindFrom(int shownPosition);

  TPaneTextEdit* FEditor = nullptr;
  TDocumentEngine* FEngine = nullptr;
  TPendingOperation FPending = TPendingOperation::Creating;
  int FUpdateCount = 0;
  double FTimeout = 30.0;
  TSourceWriterSettings FWriterSettings;
  bool FUseBrOnCarriageReturn = false;
  bool FUseDivOnCarriageReturn = false;
  bool FWantTabs = false;
  bool FBrowseMode = false;
  // The remembered search.
  QString FFindText;
  bool FFindWholeWord = false;
  bool FFindMatchCase = false;
  // The file load in flight, what went wrong with it and the result the
  // wait returns.
  std::shared_ptr<TFileLoad> FLoad;
  QString FLoadError;
  bool FWaitResult = false;
  bool FBusyCursor = false;
  QCursor FSavedCursor;
  // A long document being read or written on a worker thread.
  mutable bool FBuilding = false;
};
