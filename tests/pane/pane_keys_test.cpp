// Typing into the pane.
#include "pane_test_support.h"

#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

void PutCaretAfter(TProfDHTMLEdit2& pane, const QString& text) {
  ASSERT_TRUE(pane.FindText(text, false, true));
  QTextCursor cursor = pane.Editor()->textCursor();
  cursor.setPosition(cursor.selectionEnd());
  pane.Editor()->setTextCursor(cursor);
}

// A kept comment is not seen: each arrow key moves the caret past a shown
// character, and a deletion takes one and leaves the comment.
TEST(CaretKeys, StepOverAKeptComment) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<p>a<!--c-->b<!--d--></p><p>e</p>"));
  ASSERT_TRUE(pane->FindText(QStringLiteral("a"), false, true));
  QTest::keyClick(pane->Editor(), Qt::Key_Home);
  const std::pair<Qt::Key, int> steps[] = {
      {Qt::Key_Right, 1}, {Qt::Key_Right, 2}, {Qt::Key_Right, 3}, {Qt::Key_Left, 2},
      {Qt::Key_Left, 1},  {Qt::Key_Left, 0},  {Qt::Key_Right, 1}};
  for (const auto& [key, shown] : steps) {
    QTest::keyClick(pane->Editor(), key);
    EXPECT_EQ(pane->SelStart(), shown) << "after key " << key;
  }
  QTest::keyClick(pane->Editor(), Qt::Key_Delete);
  EXPECT_EQ(pane->BodyText(), QStringLiteral("a\r\ne"));
  QTest::keyClick(pane->Editor(), Qt::Key_Backspace);
  EXPECT_EQ(pane->BodyText(), QStringLiteral("\r\ne"));
  EXPECT_TRUE(Compact(pane->DocumentHTML()).contains(QStringLiteral("<p><!--c--><!--d--></p>")))
      << pane->DocumentHTML().toStdString();
}

TEST(EnterKey, GivesALineBreakWithBrOnCarriageReturn) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<div>ab</div>"));
  PutCaretAfter(*pane, QStringLiteral("a"));
  QTest::keyClick(pane->Editor(), Qt::Key_Return);
  QTest::keyClicks(pane->Editor(), QStringLiteral("x"));
  EXPECT_EQ(pane->BodyText(), QStringLiteral("a\r\nxb"));
  EXPECT_EQ(pane->Editor()->document()->blockCount(), 1);
  EXPECT_TRUE(Compact(pane->DocumentHTML()).contains(QStringLiteral("<div>a<br />xb</div>")))
      << pane->DocumentHTML().toStdString();
}

TEST(EnterKey, MakesANewItemInAList) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<ul><li>one</li></ul>"));
  PutCaretAfter(*pane, QStringLiteral("one"));
  QTest::keyClick(pane->Editor(), Qt::Key_Return);
  QTest::keyClicks(pane->Editor(), QStringLiteral("two"));
  EXPECT_EQ(pane->BodyText(), QStringLiteral("one\r\ntwo"));
  EXPECT_TRUE(Compact(pane->DocumentHTML()).contains(QStringLiteral("<li>one</li><li>two</li>")))
      << pane->DocumentHTML().toStdString();
}

TEST(EnterKey, NewBlocksAreDivsOrParagraphs) {
  for (const bool div : {true, false}) {
    const auto pane = MakeReadyPane();
    pane->SetUseBrOnCarriageReturn(false);
    pane->SetUseDivOnCarriageReturn(div);
    pane->SetDocumentHTML(QString());
    QTest::keyClicks(pane->Editor(), QStringLiteral("one"));
    QTest::keyClick(pane->Editor(), Qt::Key_Return);
    QTest::keyClicks(pane->Editor(), QStringLiteral("two"));
    const QString tag = div ? QStringLiteral("div") : QStringLiteral("p");
    const QString expected = QStringLiteral("<%1>one</%1><%1>two</%1>").arg(tag);
    EXPECT_TRUE(Compact(pane->DocumentHTML()).contains(expected))
        << pane->DocumentHTML().toStdString();
  }
}

TEST(EnterKey, ShiftEnterAlwaysBreaksTheLine) {
  const auto pane = MakeReadyPane();
  pane->SetUseBrOnCarriageReturn(false);
  pane->SetDocumentHTML(QStringLiteral("<p>ab</p>"));
  PutCaretAfter(*pane, QStringLiteral("a"));
  QTest::keyClick(pane->Editor(), Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_TRUE(Compact(pane->DocumentHTML()).contains(QStringLiteral("<p>a<br />b</p>")));
}

TEST(EnterKey, AfterAHeadingComesAParagraph) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("<h1>Title</h1>"));
  PutCaretAfter(*pane, QStringLiteral("Title"));
  QTest::keyClick(pane->Editor(), Qt::Key_Return);
  QTest::keyClicks(pane->Editor(), QStringLiteral("text"));
  EXPECT_TRUE(
      Compact(pane->DocumentHTML()).contains(QStringLiteral("<h1>Title</h1><div>text</div>")))
      << pane->DocumentHTML().toStdString();
}

TEST(Keys, TabMovesTheFocusUnlessWanted) {
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(QStringLiteral("x"));
  pane->SetWantTabs(true);
  QTest::keyClick(pane->Editor(), Qt::Key_Tab);
  EXPECT_EQ(pane->BodyText(), QStringLiteral("\tx"));
  pane->SetWantTabs(false);
  QTest::keyClick(pane->Editor(), Qt::Key_Tab);
  EXPECT_EQ(pane->BodyText(), QStringLiteral("\tx"));
}

TEST(Links, ClickingALinkNeverNavigates) {
  const auto pane = MakeReadyPane();
  pane->resize(300, 100);
  pane->show();
  pane->SetDocumentHTML(QStringLiteral("<a href=\"http://127.0.0.1:9/\">link</a>"));
  const QString before = pane->DocumentHTML();
  const QPoint onLink =
      pane->Editor()->cursorRect(QTextCursor(pane->Editor()->document())).center() + QPoint(5, 0);
  QTest::mouseClick(pane->Editor()->viewport(), Qt::LeftButton, Qt::NoModifier, onLink);
  QTest::mouseClick(pane->Editor()->viewport(), Qt::LeftButton, Qt::ControlModifier, onLink);
  EXPECT_EQ(pane->DocumentHTML(), before);
  EXPECT_EQ(pane->DocumentLocation(), QString());
}

} // namespace
