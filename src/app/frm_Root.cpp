#include "app/frm_Root.h"

#include "app/panel.h"
#include "core/error_edge.h"
#include "lang/font_charset.h"
#include "lang/form_components.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace {

// Where Tahoma is missing, a face of about its width keeps captions inside
// the windows' fixed layouts; the usual default sans face runs some 15 %
// wider. Qt consults the table only when Tahoma itself is not installed.
void SubstituteTahoma() {
  static const bool done = [] {
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("DejaVu Sans Condensed"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    return true;
  }();
  Q_UNUSED(done);
}

} // namespace

TfrmRoot::TfrmRoot(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmRoot"));
  setWindowTitle(QStringLiteral("frmRoot"));
  setFont(DefaultFont());
  SetFontCharset(this, FontCharset::Ansi);
  resize(255, 128);
}

QFont TfrmRoot::DefaultFont() {
  SubstituteTahoma();
  return QFont(QStringLiteral("Tahoma"), 9);
}

void TfrmRoot::FormCreate(QObject* sender) {
  Q_UNUSED(sender);
  for (QObject* component : FormComponents(this))
    if (auto* panel = qobject_cast<TPanel*>(component); panel && !panel->IsButtonFace())
      panel->setAutoFillBackground(true);
}

void TfrmRoot::RunCreateStep(const std::function<void()>& step) {
  RunHandler(step);
}

void TfrmRoot::keyPressEvent(QKeyEvent* event) {
  RunHandler([this, event] {
    if (event->matches(QKeySequence::Cancel)) {
      QAbstractButton* cancel = FCancelButton.data();
      if (cancel && cancel->isVisible() && cancel->isEnabled())
        cancel->click();
      else
        event->ignore();
      return;
    }
    QDialog::keyPressEvent(event);
  });
}
