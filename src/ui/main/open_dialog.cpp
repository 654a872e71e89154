#include "ui/main/open_dialog.h"

#include <QFileDialog>

namespace {

TOpenDialog::TChooser& Chooser() {
  static TOpenDialog::TChooser chooser;
  return chooser;
}

} // namespace

QStringList TOpenDialog::NameFilters() const {
  QStringList filters;
  const QStringList parts = Filter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString mask = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    // A description that already names its mask in brackets is a Qt filter
    // as it stands; repeating the mask would show it twice.
    if (description.endsWith(QLatin1Char('(') + mask + QLatin1Char(')')))
      filters.append(description);
    else
      filters.append(description + QStringLiteral(" (") + mask + QLatin1Char(')'));
  }
  return filters;
}

QString TOpenDialog::Execute(QWidget* parent) const {
  if (Chooser())
    return Chooser()(*this);
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(DefaultExt);
  dialog.setNameFilters(NameFilters());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return {};
  return dialog.selectedFiles().constFirst();
}

void TOpenDialog::SetChooserForTesting(TChooser chooser) {
  Chooser() = std::move(chooser);
}
