#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// A file-open dialog described by its properties and run on demand, as the
// window's non-visual dgOpen. Filter pairs a description with a mask, bar
// separated: "Text Documents(*.txt)|*.txt".
class TOpenDialog {
public:
  QString DefaultExt;
  QString Filter;

  // The chosen file, or empty when the user cancels.
  QString Execute(QWidget* parent) const;

  // Qt's name filters for Filter, one per description and mask.
  QStringList NameFilters() const;

  // Tests answer in place of the user: the function gets the dialog and
  // returns the chosen file (empty for a cancel). An empty function restores
  // the real dialog.
  using TChooser = std::function<QString(const TOpenDialog&)>;
  static void SetChooserForTesting(TChooser chooser);
};
