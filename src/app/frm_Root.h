#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QPointer>
#include <functional>

// The base of every window: font "Tahoma" 9 pt (fontconfig substitutes where
// Tahoma is absent) with the ANSI character set, centred when first shown
// (QDialog centres a window on the screen, a dialog with a parent over it),
// tool tips on, the button-face colour. A QDialog, so the default button
// answers Enter; Esc closes the window only through its cancel button.
//
// Derived windows build their controls in the constructor and end it with
// RunCreateStep([this] { FormCreate(this); }): the window's creation step, which starts
// with TfrmRoot::FormCreate(this) unless the window does without it.
class TfrmRoot : public QDialog {
  Q_OBJECT

public:
  explicit TfrmRoot(QWidget* parent = nullptr);

  // "Tahoma" 9 pt, the font every window starts with.
  static QFont DefaultFont();

  // The base creation step: every panel owned by the form (in design order)
  // that has a colour of its own paints its own background; panels in the
  // button-face colour stay see-through.
  void FormCreate(QObject* sender);

  // The button that Esc presses; none by default.
  QAbstractButton* CancelButton() const { return FCancelButton; }
  void SetCancelButton(QAbstractButton* button) { FCancelButton = button; }

protected:
  // Runs a creation step as the framework runs OnCreate: an error ends the
  // step and reaches the error box, and the window is still created.
  void RunCreateStep(const std::function<void()>& step);

  void keyPressEvent(QKeyEvent* event) override;

private:
  QPointer<QAbstractButton> FCancelButton;
};
