#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QAction;
class QHeaderView;
class QTableView;
class QTableWidget;
class QTreeWidget;
class QWidget;

// Resolves a path given relative to the program's folder (or, installed, its
// data folder: see ProgramDataPath), as language files
// are named (".\Languages\English.lng"): either separator, with or without
// the leading ".\".
QString ProgramRelativePath(const QString& relative);

// The base localiser: a non-visual object owned by a form (or frame) that
// reads a language file and writes its texts into the form's components. The
// file's section is the owner's class name (its metaObject()->className(), so
// a form class declares Q_OBJECT); keys are a component's objectName, "_" and
// a property name. Every application reads the file afresh; nothing is kept.
class TsmlLangRes : public QObject {
  Q_OBJECT

public:
  // Throws ETralvescoError when the owner is neither a form nor a frame.
  explicit TsmlLangRes(QObject* owner);

  bool Active() const { return FActive; }
  void SetActive(bool value);

  // Stored relative to the program's folder; reads back the file name alone.
  QString LangFileName() const;
  void SetLangFileName(const QString& value);
  // The full path the localiser reads.
  const QString& LangFilePathName() const { return FLangFile; }

  bool IgnoreEmptyString() const { return FIgnoreEmptyString; }
  void SetIgnoreEmptyString(bool value);
  bool AutoCreateMode() const { return FAutoCreateMode; }
  void SetAutoCreateMode(bool value);
  bool AddBracket() const { return FAddBracket; }
  void SetAddBracket(bool value) { FAddBracket = value; }

  QWidget* OwnerForm() const { return FOwnerForm; }
  QWidget* OwnerFrame() const { return FOwnerFrame; }
  // The language-file section: the owner's class name.
  QString Section() const;

  // Applies the file when active.
  void Refresh();

  // "<text>" gives "text"; anything else comes back unchanged.
  static QString StripBracket(const QString& value);
  QString BracketText(const QString& value) const;
  static bool HasProperty(const QObject* component, const QString& name);

protected:
  virtual void ApplyLanguage() = 0;

  void ApplyFont(QWidget* control);
  void ApplyStringProperty(QObject* component, const QString& name);
  void ApplyStringsProperty(QObject* component, const QString& name);
  void ApplyMenuItem(QAction* item);
  // List view: a QTableWidget (columns; rows whose first cell is the item and
  // whose further cells are its sub-items). Tree view: a QTreeWidget. Header
  // control: a QHeaderView. Data grid: any other QTableView over a model.
  void ApplyListColumns(QTableWidget* list);
  void ApplyListItems(QTableWidget* list);
  void ApplyTreeItems(QTreeWidget* tree);
  void ApplyHeaderSections(QHeaderView* header);
  void ApplyGridColumns(QTableView* grid);
  // The translation of the key, or empty (writing the key back when asked).
  QString ReadText(const QString& key, const QString& currentText);

  QObject* Owner() const { return FOwner; }

private:
  // The stripped translation when the file has a value for the key; otherwise
  // the write-back rule runs and there is none.
  std::optional<QString> Translate(const QString& key, const QString& currentText);
  template <class Setter>
  void ApplyText(const QString& key, const QString& currentText, Setter set);
  QString ReadValue(const QString& key) const;
  void WriteValue(const QString& key, const QString& value) const;

  QObject* FOwner;
  QWidget* FOwnerForm = nullptr;
  QWidget* FOwnerFrame = nullptr;
  QString FLangFile;
  bool FActive = false;
  bool FIgnoreEmptyString = false;
  bool FAutoCreateMode = true;
  bool FAddBracket = false;
};
