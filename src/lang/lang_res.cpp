#include "lang/lang_res.h"

#include "core/app_error.h"
#include "lang/font_charset.h"
#include "lang/form_components.h"
#include "lang/lang_file.h"
#include "lang/lang_properties.h"
#include "settings/program_dir.h"
#include "settings/settings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWidget>

namespace {

QObject* CheckedOwner(QObject* owner) {
  if (!IsForm(owner) && !IsFrame(owner))
    throw ETralvescoError(QStringLiteral("Owner must be a Form or a DataModule!"));
  return owner;
}

QString Indexed(const QString& base, qsizetype i) {
  return base + QLatin1Char('[') + QString::number(i) + QLatin1Char(']');
}

// Font sizes beyond this are a slip in the file, not a wish for a giant font.
constexpr int MaxFontSize = 1000;

} // namespace

QString ProgramRelativePath(const QString& relative) {
  QString path = relative;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  while (path.startsWith(QLatin1String("./")))
    path.remove(0, 2);
  return ProgramDataPath(path);
}

TsmlLangRes::TsmlLangRes(QObject* owner)
    : QObject(CheckedOwner(owner)), FOwner(owner),
      // The initial name is taken beside the program too, so nothing ever
      // depends on the working directory.
      FLangFile(ProgramRelativePath(QStringLiteral("DefLang.ini"))) {
  if (IsForm(owner))
    FOwnerForm = static_cast<QWidget*>(owner);
  else
    FOwnerFrame = static_cast<QWidget*>(owner);
}

void TsmlLangRes::SetActive(bool value) {
  FActive = value;
  Refresh();
}

QString TsmlLangRes::LangFileName() const {
  return QFileInfo(FLangFile).fileName();
}

void TsmlLangRes::SetLangFileName(const QString& value) {
  FLangFile = ProgramRelativePath(value);
  Refresh();
}

void TsmlLangRes::SetIgnoreEmptyString(bool value) {
  FIgnoreEmptyString = value;
  Refresh();
}

void TsmlLangRes::SetAutoCreateMode(bool value) {
  FAutoCreateMode = value;
  Refresh();
}

QString TsmlLangRes::Section() const {
  return QString::fromLatin1(FOwner->metaObject()->className());
}

void TsmlLangRes::Refresh() {
  if (FActive)
    ApplyLanguage();
}

QString TsmlLangRes::StripBracket(const QString& value) {
  if (value.size() >= 2 && value.front() == QLatin1Char('<') && value.back() == QLatin1Char('>'))
    return value.mid(1, value.size() - 2);
  return value;
}

QString TsmlLangRes::BracketText(const QString& value) const {
  return FAddBracket ? QLatin1Char('<') + value + QLatin1Char('>') : value;
}

bool TsmlLangRes::HasProperty(const QObject* component, const QString& name) {
  return LangProperty::KindOf(component, name) != LangProperty::TKind::None;
}

QString TsmlLangRes::ReadValue(const QString& key) const {
  return LangFile::ReadString(FLangFile, Section(), key);
}

void TsmlLangRes::WriteValue(const QString& key, const QString& value) const {
  LangFile::WriteString(FLangFile, Section(), key, value);
}

std::optional<QString> TsmlLangRes::Translate(const QString& key, const QString& currentText) {
  const QString value = ReadValue(key);
  if (!value.isEmpty())
    return StripBracket(value);
  if (FAutoCreateMode && (!currentText.isEmpty() || !FIgnoreEmptyString))
    WriteValue(key, BracketText(currentText));
  return std::nullopt;
}

template <class Setter>
void TsmlLangRes::ApplyText(const QString& key, const QString& currentText, Setter set) {
  if (const std::optional<QString> text = Translate(key, currentText))
    set(*text);
}

QString TsmlLangRes::ReadText(const QString& key, const QString& currentText) {
  return Translate(key, currentText).value_or(QString());
}

void TsmlLangRes::ApplyFont(QWidget* control) {
  if (!control || !HasProperty(control, QStringLiteral("Font")))
    return;
  const QString name = control->objectName();

  const QString face = ReadValue(name + QStringLiteral("_FontName"));
  if (!face.isEmpty()) {
    QFont font = control->font();
    font.setFamily(StripBracket(face));
    control->setFont(font);
  } else if (FAutoCreateMode) {
    WriteValue(name + QStringLiteral("_FontName"), BracketText(control->font().family()));
  }

  const QString sizeKey = name + QStringLiteral("_FontSize");
  const int size = LangFile::ReadInteger(FLangFile, Section(), sizeKey, 0);
  if (size != 0 && qAbs(size) <= MaxFontSize) {
    // A negative size is a height in pixels, as Windows fonts have it.
    QFont font = control->font();
    if (size > 0)
      font.setPointSize(size);
    else
      font.setPixelSize(-size);
    control->setFont(font);
  } else if (FAutoCreateMode) {
    const QFont font = control->font();
    const int current = font.pointSize() > 0 ? font.pointSize() : -font.pixelSize();
    WriteValue(sizeKey, QString::number(current));
  }

  const QString charsetKey = name + QStringLiteral("_FontCharset");
  const int charset = LangFile::ReadInteger(FLangFile, Section(), charsetKey, -1);
  if (charset >= 0 && charset <= 255)
    SetFontCharset(control, charset);
  else if (FAutoCreateMode)
    WriteValue(charsetKey, QString::number(FontCharsetOf(control)));
}

void TsmlLangRes::ApplyStringProperty(QObject* component, const QString& name) {
  if (LangProperty::KindOf(component, name) != LangProperty::TKind::Text)
    return;
  ApplyText(component->objectName() + QLatin1Char('_') + name, LangProperty::Text(component, name),
            [&](const QString& text) { LangProperty::SetText(component, name, text); });
}

void TsmlLangRes::ApplyStringsProperty(QObject* component, const QString& name) {
  if (LangProperty::KindOf(component, name) != LangProperty::TKind::Strings)
    return;
  const QString base = component->objectName() + QLatin1Char('_') + name;
  const QStringList lines = LangProperty::Strings(component, name);
  for (qsizetype i = 0; i < lines.size(); ++i)
    ApplyText(Indexed(base, i), lines[i],
              [&](const QString& text) { LangProperty::SetStringsLine(component, name, i, text); });
}

void TsmlLangRes::ApplyMenuItem(QAction* item) {
  if (!item || item->isSeparator() || item->text() == QLatin1String("-"))
    return;
  // An item made in code without a name has no key of its own; its
  // sub-items may still have theirs.
  if (!item->objectName().isEmpty())
    ApplyStringProperty(item, QStringLiteral("Caption"));
  if (QMenu* sub = item->menu())
    for (QAction* child : sub->actions())
      ApplyMenuItem(child);
}

void TsmlLangRes::ApplyListColumns(QTableWidget* list) {
  const QString base = list->objectName() + QStringLiteral("_ColumnCaption");
  for (int i = 0; i < list->columnCount(); ++i) {
    QTableWidgetItem* header = list->horizontalHeaderItem(i);
    ApplyText(Indexed(base, i), header ? header->text() : QString(), [&](const QString& text) {
      if (header)
        header->setText(text);
      else
        list->setHorizontalHeaderItem(i, new QTableWidgetItem(text));
    });
  }
}

void TsmlLangRes::ApplyListItems(QTableWidget* list) {
  const QString name = list->objectName();
  const auto setCell = [list](int row, int column, const QString& text) {
    if (QTableWidgetItem* cell = list->item(row, column))
      cell->setText(text);
    else
      list->setItem(row, column, new QTableWidgetItem(text));
  };
  const auto cellText = [list](int row, int column) {
    const QTableWidgetItem* cell = list->item(row, column);
    return cell ? cell->text() : QString();
  };
  for (int i = 0; i < list->rowCount(); ++i) {
    if (list->columnCount() == 0)
      break;
    ApplyText(Indexed(name + QStringLiteral("_ItemCaption"), i), cellText(i, 0),
              [&](const QString& text) { setCell(i, 0, text); });
    for (int j = 0; j + 1 < list->columnCount(); ++j) {
      const QString key =
          Indexed(Indexed(name + QStringLiteral("_SubItem"), i) + QStringLiteral("Caption"), j);
      ApplyText(key, cellText(i, j + 1), [&](const QString& text) { setCell(i, j + 1, text); });
    }
  }
}

void TsmlLangRes::ApplyTreeItems(QTreeWidget* tree) {
  const QString base = tree->objectName() + QStringLiteral("_ItemText");
  // The iterator walks every node, parents before children: the order of a
  // tree's flat node list.
  qsizetype index = 0;
  for (QTreeWidgetItemIterator it(tree); *it; ++it, ++index) {
    QTreeWidgetItem* node = *it;
    ApplyText(Indexed(base, index), node->text(0),
              [node](const QString& text) { node->setText(0, text); });
  }
}

void TsmlLangRes::ApplyHeaderSections(QHeaderView* header) {
  QAbstractItemModel* model = header->model();
  if (!model)
    return;
  const QString base = header->objectName() + QStringLiteral("_SectionsText");
  const Qt::Orientation orientation = header->orientation();
  for (int i = 0; i < header->count(); ++i)
    ApplyText(Indexed(base, i), model->headerData(i, orientation).toString(),
              [&](const QString& text) { model->setHeaderData(i, orientation, text); });
}

void TsmlLangRes::ApplyGridColumns(QTableView* grid) {
  QAbstractItemModel* model = grid->model();
  if (!model)
    return;
  const QString base = grid->objectName() + QStringLiteral("_ColumnsCaption");
  for (int i = 0; i < model->columnCount(); ++i)
    ApplyText(Indexed(base, i), model->headerData(i, Qt::Horizontal).toString(),
              [&](const QString& text) { model->setHeaderData(i, Qt::Horizontal, text); });
}
