// The keyboard's way to the command column, and the names a screen reader
// gives the window's controls.
//
// The glyph buttons take no focus, so each command has a key of its own:
// the desktop's standard one where there is one (open, save, print), else a
// Ctrl+Shift combination that the panes' editors leave alone. Open always
// fills the source pane, Print always shows the target pane, Swap acts on
// both. Save, Copy, Paste and Clear act on the pane that has the keyboard
// focus: the target pane's button when the target pane has it, the source
// pane's otherwise. A key presses its button, so it does exactly what the
// button does.
#include "app/accessible_names.h"
#include "app/auto_size_label.h"
#include "core/error_edge.h"
#include "core/program_messages.h"
#include "ui/main/frm_Main.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>

namespace {

// The hint a button showed before its key was added, and what it shows now.
const char BaseHintProperty[] = "baseHint";
const char ShownHintProperty[] = "shownHint";

// The program's only main window is a frame to a screen reader: Qt calls
// every QDialog a dialog.
QAccessibleInterface* MainWindowAccessible(const QString& className, QObject* object) {
  if (className == QLatin1String("TfrmMain") && object && object->isWidgetType())
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  return nullptr;
}

} // namespace

void TfrmMain::AnnounceAsMainWindow() {
  static const bool installed = [] {
    QAccessible::installFactory(&MainWindowAccessible);
    return true;
  }();
  Q_UNUSED(installed);
}

void TfrmMain::CreateCommandKeys() {
  FCommandKeys = {
      {QKeySequence(QKeySequence::Open), btnOpen, btnOpen},
      {QKeySequence(QKeySequence::Save), btnSave, btnSave2},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), btnCopy, btnCopy2},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), btnPaste, btnPaste2},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X), btnSwap, btnSwap},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete), btnClear, btnClear2},
      {QKeySequence(QKeySequence::Print), btnPrint, btnPrint},
  };
  for (const TCommandKey& command : FCommandKeys) {
    auto* shortcut = new QShortcut(command.Key, this);
    shortcut->setContext(Qt::WindowShortcut);
    QPushButton* source = command.Source;
    QPushButton* target = command.Target;
    connect(shortcut, &QShortcut::activated, this, [this, source, target] {
      RunHandler([this, source, target] {
        const QWidget* focus = focusWidget();
        const bool inTarget = focus && (focus == e2 || e2->isAncestorOf(focus));
        // The button's own click runs the command, through its own edge.
        (inTarget ? target : source)->click();
      });
    });
  }
}

QKeySequence TfrmMain::CommandKey(const QPushButton* button) const {
  for (const TCommandKey& command : FCommandKeys)
    if (command.Source == button || command.Target == button)
      return command.Key;
  return {};
}

void TfrmMain::NameControls() {
  for (const TCommandKey& command : FCommandKeys) {
    for (QPushButton* button : {command.Source, command.Target}) {
      // A hint the language file left alone is still the one shown last;
      // anything else is a new hint from the file.
      QString hint = button->toolTip();
      if (hint == button->property(ShownHintProperty).toString())
        hint = button->property(BaseHintProperty).toString();
      const QString shown = MessageText(TMessage::HintWithShortcut)
                                .arg(hint, command.Key.toString(QKeySequence::NativeText));
      button->setProperty(BaseHintProperty, hint);
      button->setProperty(ShownHintProperty, shown);
      button->setToolTip(shown);
      button->setAccessibleName(hint);
      button->setAccessibleDescription(shown);
    }
  }
  const auto namePane = [](TProfDHTMLEdit2* pane, const QLabel* caption, const QLabel* language) {
    const QString name =
        MessageText(TMessage::PaneName).arg(NameFromCaption(caption->text()), language->text());
    pane->setAccessibleName(name);
    pane->Editor()->setAccessibleName(name);
  };
  namePane(E1, labFrom, labFromLang);
  namePane(e2, labTo, labToLang);
}
