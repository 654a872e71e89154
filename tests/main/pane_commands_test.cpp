// The command column, the help menu and activation: what each does to the
// panes, the copy buffer and the settings, with every dialog answered by the
// test.
#include "main_test_support.h"

#include "core/product_info.h"
#include "lang/display_language.h"
#include "settings/settings.h"
#include "translate/translation_request.h"
#include "ui/main/frm_Main.h"
#include "ui/main/open_dialog.h"
#include "ui/main/translate_command.h"
#include "ui/pane/file_loading.h"
#include "ui/pane/pane_dialogs.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <sys/stat.h>

namespace {

// Receives what the program hands the desktop to open.
class TUrlRecorder : public QObject {
  Q_OBJECT

public:
  QList<QUrl> Opened;

public slots:
  void Open(const QUrl& url) { Opened.append(url); }
};

class TPaneCommandsTest : public TMainWindowTest {
protected:
  void TearDown() override {
    PaneDialogs::SetSaveFileNameHandlerForTesting({});
    PaneDialogs::SetPrintPreviewHandlerForTesting({});
    PaneDialogs::SetMessageHandlerForTesting({});
    TMainWindowTest::TearDown();
  }

  void StartWith(const QByteArray& general) {
    FFolder->WriteSettings(WithServer("[General]\nDisplayLanguage=English\n" + general));
    Start();
  }

  void Click(const char* name) const { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }

  // The user switches to another program and back.
  void SwitchAwayAndBack() const {
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    FWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FWindow.get()));
  }

  // Translates the typed source with the server's next answer.
  void Translate(const QByteArray& translation) {
    FServer.Enqueue(TTestResponse::Ok(ServiceReply({translation})));
    ClickTranslate();
  }
};

// --- copy and paste through the window's own buffer -------------------------

TEST_F(TPaneCommandsTest, CopyFromAnEmptyPaneThenPasteIntoEachPane) {
  StartWith({});
  Target()->SetBodyText(QStringLiteral("kept"));
  Click("btnCopy");
  EXPECT_TRUE(FWindow->CopyBuffer().isEmpty());

  // An empty buffer leaves the target pane alone but empties the source.
  Click("btnPaste2");
  EXPECT_EQ(Target()->BodyText(), QStringLiteral("kept"));
  EXPECT_TRUE(FWindow->ResultText().isEmpty());
  TypeSource(QStringLiteral("typed"));
  Click("btnPaste");
  EXPECT_TRUE(Source()->BodyText().isEmpty());
  EXPECT_TRUE(FWindow->SourceText().isEmpty());

  // The target's text goes round into the source and back.
  Click("btnCopy2");
  EXPECT_EQ(FWindow->CopyBuffer(), QStringLiteral("kept"));
  Click("btnPaste");
  EXPECT_EQ(Source()->BodyText(), QStringLiteral("kept"));
  EXPECT_EQ(FWindow->SourceText(), QStringLiteral("kept"));
  Click("btnClear2");
  EXPECT_TRUE(Target()->BodyText().isEmpty());
  Click("btnPaste2");
  EXPECT_EQ(Target()->BodyText(), QStringLiteral("kept"));
  EXPECT_EQ(FWindow->ResultText(), QStringLiteral("kept"));
  Click("btnClear");
  EXPECT_TRUE(Source()->BodyText().isEmpty());
  EXPECT_EQ(FWindow->CopyBuffer(), QStringLiteral("kept"));
}

TEST_F(TPaneCommandsTest, TheSystemClipboardIsNeverUsed) {
  StartWith({});
  QGuiApplication::clipboard()->setText(QStringLiteral("on the clipboard"));
  TypeSource(QStringLiteral("in the pane"));
  Click("btnCopy");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("on the clipboard"));
  Click("btnPaste2");
  EXPECT_EQ(Target()->BodyText(), QStringLiteral("in the pane"));
}

TEST_F(TPaneCommandsTest, ASenderWithAnotherTagDoesNothing) {
  StartWith({});
  TypeSource(QStringLiteral("typed"));
  QObject stranger;
  stranger.setProperty("tag", 2);
  FWindow->btnClearClick(&stranger);
  FWindow->btnCopyClick(&stranger);
  FWindow->btnPasteClick(&stranger);
  EXPECT_EQ(Source()->BodyText(), QStringLiteral("typed"));
  EXPECT_TRUE(FWindow->CopyBuffer().isEmpty());
}

// --- automatic paste on activation -------------------------------------------

TEST_F(TPaneCommandsTest, AutoPasteNeverBringsBackTheAutomaticallyCopiedResult) {
  StartWith("AutoPaste=1\nAutoCopy=1\n");
  TypeSource(QStringLiteral("Hello"));
  Translate("Hallo");
  ASSERT_EQ(FWindow->CopyBuffer(), QStringLiteral("Hallo"));
  SwitchAwayAndBack();
  EXPECT_EQ(Source()->BodyText(), QStringLiteral("Hello"));
}

TEST_F(TPaneCommandsTest, AutoPasteWithNothingCopiedLeavesTheSourceAlone) {
  StartWith("AutoPaste=1\n");
  TypeSource(QStringLiteral("Hello"));
  Translate("Hallo");
  SwitchAwayAndBack();
  EXPECT_EQ(Source()->BodyText(), QStringLiteral("Hello"));
}

TEST_F(TPaneCommandsTest, AutoPasteReplacesAnEditedSourceWithTheCopiedText) {
  StartWith("AutoPaste=1\n");
  TypeSource(QStringLiteral("copied"));
  Click("btnCopy");
  TypeSource(QStringLiteral(" and edited"));
  ASSERT_EQ(Source()->BodyText(), QStringLiteral("copied and edited"));
  SwitchAwayAndBack();
  EXPECT_EQ(Source()->BodyText(), QStringLiteral("copied"));
  EXPECT_EQ(FWindow->SourceText(), QStringLiteral("copied"));

  // Once the buffer went into the target pane, it is the window's own
  // result and stays out of the source.
  Click("btnPaste2");
  TypeSource(QStringLiteral(" again"));
  SwitchAwayAndBack();
  EXPECT_EQ(Source()->BodyText(), QStringLiteral("copied again"));
}

TEST_F(TPaneCommandsTest, WithoutAutoPasteActivationChangesNothing) {
  StartWith("AutoPaste=0\n");
  TypeSource(QStringLiteral("copied"));
  Click("btnCopy");
  TypeSource(QStringLiteral(" and edited"));
  SwitchAwayAndBack();
  EXPECT_EQ(Source()->BodyText(), QStringLiteral("copied and edited"));
}

// --- swap ----------------------------------------------------------------

// The commands one after another, as a user goes between the panes: every
// character, line and blank arrives as it was typed, markup as it was.
TEST_F(TPaneCommandsTest, SwapCopyAndPasteInSequenceKeepEveryCharacter) {
  StartWith({});
  TypeSource(QStringLiteral("if a<b && c>d then <i>x</i> &amp; y\nline two\n\ncol1  col2"));
  const QString typed =
      QStringLiteral("if a<b && c>d then <i>x</i> &amp; y\r\nline two\r\n\r\ncol1  col2");
  ASSERT_EQ(Source()->BodyText(), typed);
  Target()->SetDocumentHTML(QStringLiteral(
      "<p><b>bold</b> text</p><table border=\"1\"><tr><td>c11</td><td>c12</td></tr></table>"
      "<ul><li>item</li></ul>"));
  const QString targetText = Target()->BodyText();
  const QString sourceHtml = Source()->DocumentHTML();
  const QString targetHtml = Target()->DocumentHTML();

  Click("btnSwap");
  EXPECT_EQ(Target()->BodyText(), typed);
  EXPECT_EQ(Source()->BodyText(), targetText);
  EXPECT_EQ(Target()->DocumentHTML(), sourceHtml);
  EXPECT_EQ(Source()->DocumentHTML(), targetHtml);
  EXPECT_TRUE(FWindow->CopyBuffer().isEmpty());

  Click("btnSwap");
  EXPECT_EQ(Source()->DocumentHTML(), sourceHtml);
  EXPECT_EQ(Target()->DocumentHTML(), targetHtml);

  // The copy buffer carries the text, cells of a row separated by a tab.
  Click("btnCopy2");
  EXPECT_EQ(FWindow->CopyBuffer(), QStringLiteral("bold text\r\nc11\tc12\r\nitem"));
  Click("btnCopy");
  Click("btnPaste2");
  EXPECT_EQ(Target()->BodyText(), typed);
  Click("btnSwap");
  EXPECT_EQ(Source()->BodyText(), typed);
}

TEST_F(TPaneCommandsTest, SwapOfTwoEmptyPanesLeavesBothEmpty) {
  StartWith({});
  Click("btnSwap");
  for (TProfDHTMLEdit2* pane : {Source(), Target()}) {
    EXPECT_TRUE(pane->BodyText().isEmpty());
    EXPECT_FALSE(pane->Busy());
  }
}

// --- save, open, print ----------------------------------------------------------

TEST_F(TPaneCommandsTest, SaveOfAnEmptyBodyShowsNoDialog) {
  StartWith({});
  int asked = 0;
  PaneDialogs::SetSaveFileNameHandlerForTesting([&](const QString&) {
    ++asked;
    return QString();
  });
  Click("btnSave");
  Target()->SetDocumentHTML(QStringLiteral("<p><img src=\"picture.png\"></p>"));
  Click("btnSave2");
  EXPECT_EQ(asked, 0);
}

TEST_F(TPaneCommandsTest, SaveWritesChineseTextToTheChosenFile) {
  StartWith({});
  const QString chinese =
      QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C");
  TypeSource(chinese);
  QString initialFolder = QStringLiteral("unset");
  const QString chosen = FFolder->Path(QStringLiteral("saved"));
  PaneDialogs::SetSaveFileNameHandlerForTesting([&](const QString& folder) {
    initialFolder = folder;
    return chosen;
  });
  Click("btnSave");
  EXPECT_TRUE(initialFolder.isEmpty());
  // The dialog's default extension goes onto a bare name.
  QFile saved(chosen + QStringLiteral(".html"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray bytes = saved.readAll();
  EXPECT_TRUE(bytes.contains(chinese.toUtf8())) << bytes.toStdString();
  // Typed text declares no charset: the UTF-8 byte-order mark says it.
  EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF<html>")) << bytes.toStdString();
}

TEST_F(TPaneCommandsTest, OpenLoadsATextFileIntoTheSourceWhileTheTargetHasTheFocus) {
  StartWith({});
  const QString path = FFolder->Path(QStringLiteral("note.txt"));
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("First line\r\nSecond line\r\n");
  }
  Target()->SetBodyText(QStringLiteral("untouched"));
  Target()->Editor()->setFocus();
  QStringList asked;
  TOpenDialog::SetChooserForTesting([&](const TOpenDialog& dialog) {
    asked = {dialog.DefaultExt, dialog.Filter};
    return path;
  });
  Click("btnOpen");
  EXPECT_EQ(asked, QStringList({"txt", "Text Documents(*.txt)|*.txt"}));
  ASSERT_TRUE(WaitFor([this] { return !Source()->Busy(); }));
  EXPECT_TRUE(Source()->BodyText().contains(QStringLiteral("First line")))
      << Source()->BodyText().toStdString();
  EXPECT_TRUE(Source()->BodyText().contains(QStringLiteral("Second line")));
  EXPECT_TRUE(Source()->DocumentHTML().contains(Utf8MetaHeader))
      << Source()->DocumentHTML().toStdString();
  EXPECT_EQ(Target()->BodyText(), QStringLiteral("untouched"));
  EXPECT_TRUE(ShownBoxes().isEmpty());

  // A file that is not there leaves the document as it was, header added.
  QStringList messages;
  PaneDialogs::SetMessageHandlerForTesting(
      [&](const QString&, const QString& text) { messages.append(text); });
  Source()->SetBodyText(QStringLiteral("kept"));
  TOpenDialog::SetChooserForTesting(
      [this](const TOpenDialog&) { return FFolder->Path(QStringLiteral("missing.txt")); });
  Click("btnOpen");
  ASSERT_TRUE(WaitFor([this] { return !Source()->Busy(); }));
  EXPECT_EQ(Source()->BodyText(), QStringLiteral("kept"));
  EXPECT_TRUE(Source()->DocumentHTML().contains(Utf8MetaHeader));
  EXPECT_TRUE(ShownBoxes().isEmpty());

  // A cancelled dialog changes nothing.
  TOpenDialog::SetChooserForTesting([](const TOpenDialog&) { return QString(); });
  const QString before = Source()->DocumentHTML();
  Click("btnOpen");
  EXPECT_EQ(Source()->DocumentHTML(), before);
}

TEST_F(TPaneCommandsTest, OpenSaysWhyAFileCannotBeOpenedAndKeepsTheSource) {
  StartWith({});
  const QString fifo = FFolder->Path(QStringLiteral("pipe.txt"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString huge = FFolder->Path(QStringLiteral("huge.txt"));
  {
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(MaxPaneFileBytes + 1)); // sparse: no disk used
  }
  const QString folder = FFolder->Path(QStringLiteral("Languages"));
  struct TRow {
    QString Path;
    QString Reason;
  };
  const QString cap = QString::number(MaxPaneFileBytes / (1024 * 1024));
  for (const TRow& row :
       {TRow{fifo, QStringLiteral("it is not a regular file (a folder, pipe or device)")},
        TRow{huge, QStringLiteral("the file is larger than %1 MB").arg(cap)},
        TRow{folder, QStringLiteral("it is not a regular file (a folder, pipe or device)")}}) {
    Source()->SetBodyText(QStringLiteral("kept"));
    const QString before = Source()->DocumentHTML();
    ShownBoxes().clear();
    TOpenDialog::SetChooserForTesting([&row](const TOpenDialog&) { return row.Path; });
    Click("btnOpen");
    ASSERT_EQ(ShownBoxes().size(), 1) << row.Path.toStdString();
    EXPECT_EQ(ShownBoxes()[0].Text,
              QStringLiteral("Cannot open \"%1\": %2.").arg(row.Path, row.Reason));
    EXPECT_EQ(Source()->DocumentHTML(), before);
    EXPECT_FALSE(Source()->Busy());
  }
  ShownBoxes().clear();
}

TEST_F(TPaneCommandsTest, PrintPreviewsTheTargetPaneWhicheverPaneHasTheFocus) {
  StartWith({});
  Source()->Editor()->setFocus();
  QList<QWidget*> previewed;
  PaneDialogs::SetPrintPreviewHandlerForTesting([&](QPrintPreviewDialog& dialog) {
    previewed.append(dialog.parentWidget());
    return int(QDialog::Rejected);
  });
  Click("btnPrint");
  ASSERT_EQ(previewed.size(), 1);
  EXPECT_EQ(previewed[0], Target());
}

// --- the help menu ------------------------------------------------------------------

TEST_F(TPaneCommandsTest, HelpMenuOpensTwoPixelsBelowTheButtonsBottomLeftCorner) {
  StartWith({});
  auto* btnHelp = Find<QPushButton>("btnHelp");
  auto* pmHelp = Find<QMenu>("pmHelp");
  QTest::mouseClick(btnHelp, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([pmHelp] { return pmHelp->isVisible(); }));
  EXPECT_EQ(pmHelp->pos(), btnHelp->mapToGlobal(QPoint(0, btnHelp->height() + 2)));
  pmHelp->close();
}

TEST_F(TPaneCommandsTest, WebLinksGoToTheDesktop) {
  StartWith({});
  TUrlRecorder recorder;
  QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "Open");
  QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &recorder, "Open");
  Find<QAction>("miWebSite")->trigger();
  Find<QAction>("miContactUs")->trigger();
  QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
  QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
  ASSERT_EQ(recorder.Opened.size(), 2);
  EXPECT_EQ(recorder.Opened[0], QUrl(ProductInfo::HomePage));
  const QUrl mail = recorder.Opened[1];
  EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
  EXPECT_EQ(mail.path().trimmed(), ProductInfo::SupportMail);
  EXPECT_EQ(mail.query(QUrl::FullyDecoded),
            QStringLiteral("subject=Question for ") + ProductInfo::Title);
}

// --- the dialogs ---------------------------------------------------------------------

template <class T> T* ChildOf(QWidget* dialog, const char* name) {
  T* child = dialog->findChild<T*>(QLatin1String(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

enum class TCloseBy { Ok, Escape, CloseBox };

class TOptionsClosedTest : public TPaneCommandsTest,
                           public ::testing::WithParamInterface<TCloseBy> {};

TEST_P(TOptionsClosedTest, ReappliesLanguageSettingsDirectionAndProxy) {
  StartWith("AutoPaste=0\n");
  bool shown = false;
  WhenModal([&](QDialog* dialog) {
    shown = true;
    EXPECT_EQ(dialog->parentWidget(), nullptr);
    QTest::mouseClick(ChildOf<QCheckBox>(dialog, "chkAutoPaste"), Qt::LeftButton, {}, QPoint(6, 8));
    auto* cmbLang = ChildOf<QComboBox>(dialog, "cmbLang");
    cmbLang->setFocus();
    QTest::keyClick(cmbLang, Qt::Key_Home);
    for (int i = 0; i < cmbLang->count() && cmbLang->currentText() != "Chinese-Simp"; ++i)
      QTest::keyClick(cmbLang, Qt::Key_Down);
    EXPECT_EQ(cmbLang->currentText(), QStringLiteral("Chinese-Simp"));
    QTest::mouseClick(ChildOf<QRadioButton>(dialog, "rbManuallyProxy"), Qt::LeftButton, {},
                      QPoint(6, 8));
    for (const auto& [name, text] : {std::pair{"edtAddress", "127.0.0.1"}, {"edtPort", "3128"}}) {
      auto* edit = ChildOf<QLineEdit>(dialog, name);
      edit->setFocus();
      QTest::keyClicks(edit, QLatin1String(text));
    }
    // Something else changed the direction in the file meanwhile.
    IniWriteInteger(SettingsFileName, QStringLiteral("General"), QStringLiteral("Direction"), 1);
    switch (GetParam()) {
    case TCloseBy::Ok:
      QTest::mouseClick(ChildOf<QPushButton>(dialog, "btnOk"), Qt::LeftButton);
      break;
    case TCloseBy::Escape:
      QTest::keyClick(dialog, Qt::Key_Escape);
      break;
    case TCloseBy::CloseBox:
      dialog->close();
      break;
    }
  });
  Find<QAction>("miOptions")->trigger();
  ASSERT_TRUE(shown);
  EXPECT_TRUE(Params.AutoPaste);
  EXPECT_EQ(Find<QPushButton>("btnTranslate")->text(), QStringLiteral("\u7FFB\u8BD1(&T)"));
  EXPECT_TRUE(Find<QRadioButton>("rbChnToEng")->isChecked());
  EXPECT_EQ(Find<QLabel>("labFromLang")->text(), QStringLiteral("\u4E2D\u6587"));
  const auto* labTo = Find<QLabel>("labTo");
  EXPECT_EQ(Find<QLabel>("labToLang")->x(), labTo->x() + labTo->width() + 4);
  EXPECT_EQ(FWindow->Http().ProxyServer(), QStringLiteral("127.0.0.1"));
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Ways, TOptionsClosedTest,
                         ::testing::Values(TCloseBy::Ok, TCloseBy::Escape, TCloseBy::CloseBox),
                         [](const auto& row) {
                           switch (row.param) {
                           case TCloseBy::Ok:
                             return std::string("Ok");
                           case TCloseBy::Escape:
                             return std::string("Escape");
                           case TCloseBy::CloseBox:
                             break;
                           }
                           return std::string("CloseBox");
                         });

TEST_F(TPaneCommandsTest, AboutShowsAFreshModalBoxEachTime) {
  StartWith({});
  QList<QPointer<QDialog>> shown;
  for (int i = 0; i < 2; ++i) {
    WhenModal([&](QDialog* dialog) {
      shown.append(dialog);
      EXPECT_EQ(dialog->parentWidget(), nullptr);
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    Find<QAction>("miAbout")->trigger();
  }
  ASSERT_EQ(shown.size(), 2);
  EXPECT_TRUE(shown[0].isNull());
  EXPECT_TRUE(shown[1].isNull());
}

} // namespace

#include "pane_commands_test.moc"
