#pragma once

#include "ui/pane/pane_dialogs.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// The options both panes of the main window use.
inline TProfDHTMLEditSourceCodeOptions MainWindowOptions() {
  return AllSourceCodeOptions &
         ~TProfDHTMLEditSourceCodeOptions(TProfDHTMLEditSourceCodeOption::AddNbsp);
}

// Polls the event loop until the condition holds or a generous limit passes.
inline bool WaitUntil(const std::function<bool()>& condition, int limitMs = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > limitMs)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// A pane set up as the main window sets up both of its panes, started.
inline std::unique_ptr<TProfDHTMLEdit2> MakeReadyPane() {
  auto pane = std::make_unique<TProfDHTMLEdit2>();
  pane->SetTimeout(30);
  pane->SetUseBrOnCarriageReturn(true);
  pane->SetUseDivOnCarriageReturn(true);
  pane->SetSourceCodeOptions(MainWindowOptions());
  WaitUntil([&pane] { return !pane->Busy(); });
  return pane;
}

// A table of cases run against one ready pane, made once for the suite:
// starting a pane per row would cost more than the rows themselves.
template <class TRow> class TSharedPaneTest : public ::testing::TestWithParam<TRow> {
protected:
  static void SetUpTestSuite() { Pane = MakeReadyPane().release(); }
  static void TearDownTestSuite() {
    delete Pane;
    Pane = nullptr;
  }
  static inline TProfDHTMLEdit2* Pane = nullptr;
};

// Records the pane's message boxes instead of showing them.
class TMessageRecorder {
public:
  TMessageRecorder() {
    PaneDialogs::SetMessageHandlerForTesting([this](const QString& caption, const QString& text) {
      Captions.append(caption);
      Texts.append(text);
      if (OnMessage)
        OnMessage();
    });
  }
  ~TMessageRecorder() { PaneDialogs::SetMessageHandlerForTesting(nullptr); }
  TMessageRecorder(const TMessageRecorder&) = delete;
  TMessageRecorder& operator=(const TMessageRecorder&) = delete;

  QStringList Captions;
  QStringList Texts;
  std::function<void()> OnMessage;
};

// The source without the line breaks and indentation the writer puts
// between blocks, for comparing pieces of it.
inline QString Compact(QString html) {
  static const QRegularExpression Indentation(QStringLiteral("\r\n *"));
  return html.remove(Indentation);
}

// gtest prints QStrings readably.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
