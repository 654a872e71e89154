// What a screen reader finds in each window, in each shipped language: every
// control a user can focus or press has a name in the interface language, and
// the main window is a frame, not a dialog.
#include "main_test_support.h"

#include "lang/display_language.h"
#include "lang/qt_translations.h"
#include "settings/ini_file.h"
#include "ui/dialogs/frm_About.h"
#include "ui/dialogs/frm_Options.h"

#include <QAccessible>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

namespace {

struct TNamesRow {
  const char* Window;
  const char* Language;
};

void PrintTo(const TNamesRow& row, std::ostream* os) {
  *os << row.Window << " in " << row.Language;
}

// Roles a user presses, checks or types into.
bool IsControlRole(QAccessible::Role role) {
  switch (role) {
  case QAccessible::PushButton:
  case QAccessible::CheckBox:
  case QAccessible::RadioButton:
  case QAccessible::ComboBox:
  case QAccessible::PageTab:
  case QAccessible::EditableText:
  case QAccessible::SpinBox:
  case QAccessible::MenuItem:
  case QAccessible::ButtonMenu:
  case QAccessible::ButtonDropDown:
  case QAccessible::Link:
    return true;
  default:
    return false;
  }
}

// As a screen reader names a node: its own name, else the label it is
// labelled by.
QString SpokenName(QAccessibleInterface* node) {
  const QString own = node->text(QAccessible::Name);
  if (!own.isEmpty())
    return own;
  for (const auto& [label, relation] : node->relations(QAccessible::Label))
    if (label && !label->text(QAccessible::Name).isEmpty())
      return label->text(QAccessible::Name);
  return {};
}

struct TControl {
  QString Path;
  QAccessible::Role Role;
  QString Name;
};

// Every visible control below the node.
void Walk(QAccessibleInterface* node, const QString& path, QList<TControl>& found) {
  for (int i = 0; i < node->childCount(); ++i) {
    QAccessibleInterface* child = node->child(i);
    if (!child || child->state().invisible)
      continue;
    const QObject* object = child->object();
    const QString childPath =
        path + QLatin1Char('/') +
        (object && !object->objectName().isEmpty() ? object->objectName()
                                                   : QString::number(child->role(), 16));
    if (child->state().focusable || IsControlRole(child->role()))
      found.append({childPath, child->role(), SpokenName(child)});
    Walk(child, childPath, found);
  }
}

class TAccessibleNamesTest : public TMainWindowTest,
                             public ::testing::WithParamInterface<TNamesRow> {
protected:
  void TearDown() override {
    UseQtTranslations(QString());
    TMainWindowTest::TearDown();
  }

  QString Language() const { return QLatin1String(GetParam().Language); }
  bool Chinese() const { return Language().startsWith(QLatin1String("Chinese")); }
  QString FileText(const QString& section, const QString& key) const {
    return IniFile::Read(FFolder->Path(QStringLiteral("Languages/") + Language() + ".lng"), section,
                         key)
        .value_or(QString());
  }

  // Checks one window as it stands; Chinese names hold no English word.
  void Check(QWidget* window, QAccessible::Role role) const {
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->role(), role);
    QList<TControl> controls;
    Walk(root, window->objectName(), controls);
    EXPECT_FALSE(controls.isEmpty());
    static const QRegularExpression englishWord(QStringLiteral("[A-Za-z]{3,}"));
    for (const TControl& control : controls) {
      EXPECT_FALSE(control.Name.isEmpty()) << control.Path.toStdString() << " has no name";
      if (Chinese() && control.Role != QAccessible::ComboBox) {
        EXPECT_FALSE(englishWord.match(control.Name).hasMatch())
            << control.Path.toStdString() << ": " << control.Name.toStdString();
      }
    }
  }
};

TEST_P(TAccessibleNamesTest, NamesEveryControlInTheInterfaceLanguage) {
  Start();
  // The language changes under the running window, as after the options.
  FFolder->WriteSettings(WithServer("[General]\nDisplayLanguage=" + Language().toUtf8() + "\n"));
  SelectDisplayLanguage();
  FWindow->ApplyDisplayLanguage();
  FWindow->ShowDirection();

  const QString window = QLatin1String(GetParam().Window);
  if (window == QLatin1String("Main")) {
    Check(FWindow.get(), QAccessible::Window);
    for (QPushButton* button : FWindow->findChildren<QPushButton*>()) {
      const QKeySequence key = FWindow->CommandKey(button);
      if (key.isEmpty())
        continue;
      const QString hint = FileText(QStringLiteral("TfrmMain"), button->objectName() + "_Hint");
      EXPECT_EQ(button->accessibleName(), hint) << button->objectName().toStdString();
      EXPECT_TRUE(button->toolTip().startsWith(hint));
      EXPECT_TRUE(button->toolTip().contains(key.toString(QKeySequence::NativeText)))
          << button->toolTip().toStdString();
    }
    const QString from = FileText(QStringLiteral("TfrmMain"), QStringLiteral("strEnglish"));
    EXPECT_TRUE(Source()->Editor()->accessibleName().contains(from))
        << Source()->Editor()->accessibleName().toStdString();
  } else if (window == QLatin1String("Options")) {
    TfrmOptions options;
    options.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&options));
    Check(&options, QAccessible::Dialog);
    auto* pages = options.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    pages->setCurrentIndex(1);
    Check(&options, QAccessible::Dialog);
  } else {
    TfrmAbout about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    Check(&about, QAccessible::Dialog);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, TAccessibleNamesTest,
    ::testing::Values(TNamesRow{"Main", "English"}, TNamesRow{"Main", "Chinese-Simp"},
                      TNamesRow{"Main", "Chinese-Trad"}, TNamesRow{"Options", "English"},
                      TNamesRow{"Options", "Chinese-Simp"}, TNamesRow{"Options", "Chinese-Trad"},
                      TNamesRow{"About", "English"}, TNamesRow{"About", "Chinese-Simp"},
                      TNamesRow{"About", "Chinese-Trad"}),
    [](const auto& row) {
      std::string name = std::string(row.param.Window) + row.param.Language;
      name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
      return name;
    });

} // namespace
