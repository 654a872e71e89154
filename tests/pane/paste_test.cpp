// What comes in from the clipboard: markup that would run code in a saved
// page stays out, a table goes back out as lines of tab-separated cells.
#include "pane_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

struct TPasteRow {
  const char* Name;
  QString Html;
  QString Shown;       // BodyText after the paste
  QStringList Dropped; // not in the source after the paste
  QStringList Kept;    // in the source after the paste
};

void PrintTo(const TPasteRow& row, std::ostream* out) {
  *out << row.Name;
}

class TPasteTest : public TSharedPaneTest<TPasteRow> {};

TEST_P(TPasteTest, PastedHtmlIsSafeAndCopiesAsPlainText) {
  const TPasteRow& row = GetParam();
  auto* data = new QMimeData;
  data->setHtml(row.Html);
  QApplication::clipboard()->setMimeData(data);
  Pane->SetDocumentHTML(QString());
  QTest::keyClick(Pane->Editor(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Pane->BodyText(), row.Shown);
  const QString source = Pane->DocumentHTML();
  for (const QString& dropped : row.Dropped)
    EXPECT_FALSE(source.contains(dropped, Qt::CaseInsensitive)) << source.toStdString();
  for (const QString& kept : row.Kept)
    EXPECT_TRUE(source.contains(kept)) << source.toStdString();

  // Copied out again, the text is what BodyText gives, with the clipboard's
  // own line ends and nothing of the text document's markers.
  QTest::keyClick(Pane->Editor(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(Pane->Editor(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(),
            QString(row.Shown).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

  // A document the user opens is theirs: it keeps what it holds.
  Pane->SetDocumentHTML(row.Html);
  for (const QString& dropped : row.Dropped)
    EXPECT_TRUE(Pane->DocumentHTML().contains(dropped, Qt::CaseInsensitive))
        << dropped.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, TPasteTest,
    ::testing::Values(TPasteRow{"Script",
                                QStringLiteral("<p>vis</p><script>var x=1;</script>"),
                                QStringLiteral("vis"),
                                {QStringLiteral("<script"), QStringLiteral("var x=1")},
                                {QStringLiteral(">vis</p>")}},
                      TPasteRow{"EventHandlers",
                                QStringLiteral("<p onclick=\"steal()\">a <img src=\"x.png\" "
                                               "onerror=\"steal()\"> b</p>"),
                                QStringLiteral("a  b"),
                                {QStringLiteral("onclick"), QStringLiteral("onerror")},
                                {QStringLiteral("<img src=\"x.png\" />")}},
                      TPasteRow{"ScriptLinks",
                                QStringLiteral("<p><a href=\" jav&#x09;ascript:steal()\">one</a> "
                                               "<a href=\"https://example.invalid/\">two</a></p>"),
                                QStringLiteral("one two"),
                                {QStringLiteral("steal()")},
                                {QStringLiteral("<a href=\"https://example.invalid/\">two</a>")}},
                      TPasteRow{
                          "Table",
                          QStringLiteral("<table><tr><td>c11</td><td>c12</td></tr>"
                                         "<tr><td>c21</td><td>c22</td></tr></table><p>after</p>"),
                          QStringLiteral("c11\tc12\r\nc21\tc22\r\nafter"),
                          {},
                          {QStringLiteral("<td>c22</td>")}}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
