// A file opened, saved and opened again: the text shows as the file holds
// it, every time, and saving it again writes the same bytes.
#include "main_test_support.h"

#include "ui/main/open_dialog.h"
#include "ui/main/pane_html.h"
#include "ui/main/pane_write_back.h"
#include "ui/pane/file_loading.h"
#include "ui/pane/pane_dialogs.h"
#include "wait_for.h"

#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {

struct TOpenSaveRow {
  const char* Name;
  const char* FileName;
  QByteArray Bytes;
  QString Shown;          // BodyText after each opening
  QStringList SavedHolds; // pieces of the saved source
};

void PrintTo(const TOpenSaveRow& row, std::ostream* out) {
  *out << row.Name;
}

class TOpenSaveTest : public TMainWindowTest, public ::testing::WithParamInterface<TOpenSaveRow> {
protected:
  void TearDown() override {
    TOpenDialog::SetChooserForTesting({});
    PaneDialogs::SetSaveFileNameHandlerForTesting({});
    TMainWindowTest::TearDown();
  }

  void Open(const QString& path) {
    TOpenDialog::SetChooserForTesting([path](const TOpenDialog&) { return path; });
    QTest::mouseClick(Find<QPushButton>("btnOpen"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return !Source()->Busy(); }));
  }

  QByteArray Save(const QString& path) {
    PaneDialogs::SetSaveFileNameHandlerForTesting([path](const QString&) { return path; });
    QTest::mouseClick(Find<QPushButton>("btnSave"), Qt::LeftButton);
    QFile saved(path);
    EXPECT_TRUE(saved.open(QIODevice::ReadOnly)) << path.toStdString();
    return saved.readAll();
  }
};

TEST_P(TOpenSaveTest, TheTextComesBackAsTheFileHoldsIt) {
  const TOpenSaveRow& row = GetParam();
  FFolder->WriteSettings(WithServer("[General]\nDisplayLanguage=English\n"));
  Start();
  const QString path = FFolder->Path(QString::fromLatin1(row.FileName));
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(row.Bytes);
  }
  Open(path);
  EXPECT_TRUE(Source()->BodyText() == row.Shown);

  // However the command gets there, the document is the loaded one's source
  // with the header appended, read back.
  const QString opened = Source()->DocumentHTML();
  ASSERT_TRUE(Source()->LoadFromFile(path));
  Source()->SetDocumentHTML(WithUtf8Header(SourceToWriteBack(*Source())));
  EXPECT_TRUE(Source()->DocumentHTML() == opened) << opened.left(2000).toStdString();
  EXPECT_TRUE(Source()->BodyText() == row.Shown);

  const QByteArray first = Save(FFolder->Path(QStringLiteral("first.html")));
  Open(FFolder->Path(QStringLiteral("first.html")));
  EXPECT_TRUE(Source()->BodyText() == row.Shown);
  const QByteArray second = Save(FFolder->Path(QStringLiteral("second.html")));
  EXPECT_EQ(second, first);

  QString source = QString::fromUtf8(first);
  static const QRegularExpression Declaration(QStringLiteral("<meta[^>]*charset"),
                                              QRegularExpression::CaseInsensitiveOption);
  EXPECT_EQ(source.count(Declaration), 1) << source.toStdString();
  for (const QString& piece : row.SavedHolds)
    EXPECT_TRUE(source.contains(piece)) << piece.toStdString() << "\n" << source.toStdString();
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

QByteArray ChineseLines() {
  QByteArray lines;
  for (int i = 0; i < 20; ++i)
    lines += "\xE4\xBD\xA0\xE5\xA5\xBD\xE4\xB8\x96\xE7\x95\x8C hello\r\n";
  return lines;
}

QString ChineseShown() {
  return QStringLiteral("\u4F60\u597D\u4E16\u754C hello\r\n").repeated(20);
}

// Longer than the pieces a text file is built in, with what HTML would
// change: markup characters, runs of blanks, tabs.
QByteArray LongLines() {
  QByteArray lines;
  for (int i = 0; i < 40000; ++i)
    lines += QByteArray::number(i) + " <b>&amp;  two\tcells \xE4\xBD\xA0\r\n";
  return lines;
}

const char* const KeptHtml =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
    "<base href=\"http://example.invalid/docs/\"><title>t</title></head><body>"
    "<p>See <img src=\"rel.png\"> here</p><iframe src=\"frame.html\"></iframe>"
    "<object data=\"movie.swf\"><param name=\"q\" value=\"high\"></object>"
    "<video src=\"clip.mp4\" controls></video><audio src=\"sound.ogg\"></audio></body></html>";

INSTANTIATE_TEST_SUITE_P(
    Table, TOpenSaveTest,
    ::testing::Values(
        TOpenSaveRow{"TabsAndRunsOfBlanks",
                     "blanks.txt",
                     "a\tb\t\tc\r\n  two  blanks  \r\nlast",
                     QStringLiteral("a\tb\t\tc\r\n  two  blanks  \r\nlast"),
                     {QStringLiteral("a\tb\t\tc")}},
        TOpenSaveRow{"Utf8WithABadByte",
                     "bad.txt",
                     ChineseLines() + "tail \xFF end",
                     ChineseShown() + QStringLiteral("tail \uFFFD end"),
                     {}},
        TOpenSaveRow{"Utf8CutInItsLastCharacter",
                     "cut.txt",
                     ChineseLines() + "end \xE4\xBD",
                     ChineseShown() + QStringLiteral("end \uFFFD\uFFFD"),
                     {}},
        TOpenSaveRow{"Windows1252",
                     "western.txt",
                     "price \x80 5 \x96 dash",
                     QStringLiteral("price \u20AC 5 \u2013 dash"),
                     {}},
        TOpenSaveRow{
            "Gbk", "gbk.txt", "\xC4\xE3\xBA\xC3 hello", QStringLiteral("\u4F60\u597D hello"), {}},
        TOpenSaveRow{
            "LongerThanOnePiece", "long.txt", LongLines(), QString::fromUtf8(LongLines()), {}},
        TOpenSaveRow{
            "NulByte", "nul.txt", QByteArray("ab\0cd", 5), QStringLiteral("ab\uFFFDcd"), {}},
        TOpenSaveRow{"HtmlKeepsWhatThePaneDoesNotShow",
                     "page.html",
                     KeptHtml,
                     QStringLiteral("See  here"),
                     {QStringLiteral("<base href=\"http://example.invalid/docs/\""),
                      QStringLiteral("<img src=\"rel.png\""),
                      QStringLiteral("<iframe src=\"frame.html\"></iframe>"),
                      QStringLiteral("<object data=\"movie.swf\"><param name=\"q\" value=\"high\">"
                                     "</object>"),
                      QStringLiteral("<video src=\"clip.mp4\""),
                      QStringLiteral("<audio src=\"sound.ogg\"></audio>")}}),
    [](const auto& row) { return std::string(row.param.Name); });

// What the pane saves of a text it could open, it can open again: an HTML
// file may be larger than a text file by the markup of a save.
TEST(PaneFileLimit, AnHtmlFileHasRoomForTheMarkupOfASave) {
  QTemporaryDir folder;
  const auto sparse = [&folder](const QString& name, qint64 size) {
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_TRUE(file.resize(size)); // sparse: no disk used
    return folder.filePath(name);
  };
  EXPECT_TRUE(PaneFileRefusal(sparse(QStringLiteral("text.txt"), MaxPaneFileBytes + 1)));
  EXPECT_FALSE(PaneFileRefusal(sparse(QStringLiteral("saved.html"), MaxPaneFileBytes * 3 / 2)));
  const std::optional<QString> refusal =
      PaneFileRefusal(sparse(QStringLiteral("big.html"), MaxPaneHtmlFileBytes + 1));
  ASSERT_TRUE(refusal);
  EXPECT_TRUE(refusal->endsWith(QStringLiteral("larger than 32 MB"))) << refusal->toStdString();
}

// Keys typed while the source pane opens a long HTML file, first while the
// file is read and then while the command writes the long document back, all
// arrive in the order typed, and a mnemonic among them works.
class TOpenWhileTypingTest : public TMainWindowTest {
protected:
  void TearDown() override {
    SetPaneFileReadHookForTesting(nullptr);
    TOpenDialog::SetChooserForTesting({});
    TMainWindowTest::TearDown();
  }
};

TEST_F(TOpenWhileTypingTest, KeysArriveInOrderAndAltHOpensHelp) {
  Start();
  // HTML: a text file's document needs no writing back.
  const QString path = FFolder->Path() + QStringLiteral("/long.html");
  {
    QByteArray text = "<html><body><pre>";
    for (int i = 0; i < 100000; ++i)
      text += QByteArray::number(i).rightJustified(7, '0') + " line\n";
    text += "</pre></body></html>";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  QSemaphore reading;
  QSemaphore release;
  SetPaneFileReadHookForTesting([&] {
    reading.release();
    release.tryAcquire(1, 10000);
  });
  QTextEdit* target = Target()->Editor();
  QString typed;
  const QString later = QStringLiteral("defghijklmnopqrstuvwxyz");
  QTimer typist;
  typist.setInterval(5);
  QObject::connect(&typist, &QTimer::timeout, [&] {
    if (reading.tryAcquire()) {
      QTest::keyClicks(target, QStringLiteral("ab"));
      QTest::keyClick(FWindow.get(), Qt::Key_H, Qt::AltModifier);
      QTest::keyClicks(target, QStringLiteral("c"));
      typed = QStringLiteral("abc");
      release.release();
    } else if (!typed.isEmpty() && Source()->Busy() &&
               Source()->PendingOperation() == TProfDHTMLEdit2::TPendingOperation::Idle &&
               typed.size() - 3 < later.size()) {
      // The long document is being written or read back.
      const QChar next = later[typed.size() - 3];
      QTest::keyClick(target, next.toLatin1());
      typed += next;
    }
  });
  typist.start();
  TOpenDialog::SetChooserForTesting([path](const TOpenDialog&) { return path; });
  QTest::mouseClick(Find<QPushButton>("btnOpen"), Qt::LeftButton);
  typist.stop();
  ASSERT_GT(typed.size(), 3) << "no key was typed while the long document was written back";
  auto* pmHelp = Find<QMenu>("pmHelp");
  EXPECT_TRUE(WaitFor([&] { return pmHelp->isVisible() && Target()->BodyText() == typed; }))
      << Target()->BodyText().toStdString() << " instead of " << typed.toStdString();
  pmHelp->hide();
  EXPECT_TRUE(Source()->BodyText().startsWith(QStringLiteral("0000000 line\r\n0000001 line")));
}

} // namespace
