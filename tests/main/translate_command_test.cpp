// The translate command end to end: typed text, the request the local
// server receives, and what the target pane and the window's fields hold.
#include "main_test_support.h"

#include "settings/settings.h"
#include "translate/reply_parser.h"
#include "ui/main/frm_Main.h"
#include "ui/main/translate_command.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

namespace {

const QString Meta = Utf8MetaHeader;

class TTranslateCommandTest : public TMainWindowTest {
protected:
  void StartWith(const QByteArray& general) {
    FFolder->WriteSettings(WithServer("[General]\nDisplayLanguage=English\n" + general));
    Start();
  }
};

TEST_F(TTranslateCommandTest, TypedTextGoesOutTrimmedWithItsInnerLineBreak) {
  StartWith({});
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({"Hallo"})));
  TypeSource(QStringLiteral("\n   Hello, world!\nSecond line  \n\n"));
  ClickTranslate();

  ASSERT_EQ(FServer.RequestCount(), 1);
  const TRecordedRequest request = FServer.Requests()[0];
  EXPECT_EQ(request.QueryItem("text"), QByteArray("Hello%2C+world!%0D%0ASecond+line"));
  EXPECT_EQ(request.QueryItem("sl"), QByteArray("en"));
  EXPECT_EQ(request.QueryItem("tl"), QByteArray("zh-CN"));
  EXPECT_TRUE(request.Target.startsWith("/translate_a/t?client=o&text="))
      << request.Target.toStdString();
  EXPECT_EQ(FWindow->SourceText(), QStringLiteral("Hello, world!\r\nSecond line"));
  EXPECT_EQ(Target()->BodyText(), QStringLiteral("Hallo"));
  EXPECT_TRUE(ShownBoxes().isEmpty());
  EXPECT_FALSE(FWindow->Translating());
}

TEST_F(TTranslateCommandTest, OnlyCharactersUpToSpaceAreTrimmed) {
  StartWith({});
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({"x"})));
  Source()->SetBodyText(QStringLiteral("\t\r\n\u00A0 text \u3000\x01\t"));
  ClickTranslate();
  EXPECT_EQ(SentTexts(), QList<QByteArray>{"%C2%A0+text+%E3%80%80"});
  EXPECT_EQ(FWindow->SourceText(), QStringLiteral("\u00A0 text \u3000"));
}

TEST_F(TTranslateCommandTest, TheTargetPaneHoldsTheTranslationAfterTheMetaHeader) {
  StartWith({});
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({"\xE4\xBD\xA0\xE5\xA5\xBD", "one\\r\\ntwo"})));
  Target()->SetBodyText(QStringLiteral("the previous translation"));
  TypeSource(QStringLiteral("Hello"));
  ClickTranslate();

  // An escaped line break in the reply shows as a line break.
  EXPECT_EQ(Target()->BodyText(), QStringLiteral("\u4f60\u597done\r\ntwo"));
  const QString html = Target()->DocumentHTML();
  EXPECT_TRUE(html.contains(Meta)) << html.toStdString();
  EXPECT_TRUE(html.contains(QStringLiteral("<div>\u4f60\u597done<br />two</div>")))
      << html.toStdString();
  EXPECT_LT(html.indexOf(Meta), html.indexOf(QStringLiteral("<div>")));
  // Nothing is copied unless asked for.
  EXPECT_TRUE(FWindow->ResultText().isEmpty());
  EXPECT_TRUE(FWindow->CopyBuffer().isEmpty());
}

TEST_F(TTranslateCommandTest, AutoCopyKeepsTheTranslationAsTheServiceGaveIt) {
  StartWith("AutoCopy=1\n");
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({"a \\\\u003d b", "one\\r\\ntwo"})));
  TypeSource(QStringLiteral("Hello"));
  ClickTranslate();

  EXPECT_EQ(Target()->BodyText(), QStringLiteral("a = bone\r\ntwo"));
  // Before the un-escaping pass and with the break tag written out.
  EXPECT_EQ(FWindow->ResultText(), QStringLiteral("a \\u003d bone<br>two"));
  EXPECT_EQ(FWindow->CopyBuffer(), FWindow->ResultText());

  // A failed run empties both.
  FServer.Enqueue(TTestResponse::Status(503, "Service Unavailable"));
  ClickTranslate();
  EXPECT_EQ(Target()->BodyText(), ParseFailureMessage);
  EXPECT_TRUE(FWindow->ResultText().isEmpty());
  EXPECT_TRUE(FWindow->CopyBuffer().isEmpty());
}

struct TFailureRow {
  const char* Name;
  TTestResponse Response;
};

void PrintTo(const TFailureRow& row, std::ostream* os) {
  *os << row.Name;
}

class TFailedTranslationTest : public TTranslateCommandTest,
                               public ::testing::WithParamInterface<TFailureRow> {};

TEST_P(TFailedTranslationTest, ShowsTheOneFailureMessageAndNoBox) {
  StartWith({});
  FServer.Enqueue(GetParam().Response);
  TypeSource(QStringLiteral("Hello"));
  ClickTranslate();

  EXPECT_EQ(FServer.RequestCount(), 1);
  EXPECT_EQ(Target()->BodyText(), ParseFailureMessage);
  const QString html = Target()->DocumentHTML();
  EXPECT_TRUE(html.contains(Meta));
  EXPECT_TRUE(
      html.contains(QStringLiteral("<div>") + ParseFailureMessage + QStringLiteral("</div>")))
      << html.toStdString();
  EXPECT_TRUE(ShownBoxes().isEmpty());
  EXPECT_EQ(Find<QLabel>("ImgLoad")->movie(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, TFailedTranslationTest,
    ::testing::Values(
        TFailureRow{"ServerError", TTestResponse::Status(500, "Internal Server Error", "{}")},
        TFailureRow{"MalformedJson", TTestResponse::Ok(R"({"sentences":[{"trans":)")},
        TFailureRow{"WrongShape", TTestResponse::Ok(R"({"sentences":{"trans":"x"}})")},
        TFailureRow{"NotUtf8", TTestResponse::Ok("{\"sentences\":[{\"trans\":\"\xC3\"}]}")},
        TFailureRow{"CutOff",
                    [] {
                      TTestResponse cut = TTestResponse::Ok(ServiceReply({"long enough"}));
                      cut.Ending = TTestResponse::TEnding::CloseMidBody;
                      cut.CutAfter = 10;
                      return cut;
                    }()}),
    [](const auto& row) { return std::string(row.param.Name); });

struct TPairRow {
  qint32 Direction;
  qint32 ChineseLanguage;
  QByteArray Source;
  QByteArray Target;
};

void PrintTo(const TPairRow& row, std::ostream* os) {
  *os << "Direction " << row.Direction << ", ChineseLanguage " << row.ChineseLanguage;
}

class TLanguagePairTest : public TTranslateCommandTest,
                          public ::testing::WithParamInterface<TPairRow> {};

TEST_P(TLanguagePairTest, FollowsDirectionAndChineseVariant) {
  StartWith({});
  Params.Direction = GetParam().Direction;
  Params.ChineseLanguage = GetParam().ChineseLanguage;
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({"x"})));
  TypeSource(QStringLiteral("text"));
  ClickTranslate();
  ASSERT_EQ(FServer.RequestCount(), 1);
  EXPECT_EQ(FServer.Requests()[0].QueryItem("sl"), GetParam().Source);
  EXPECT_EQ(FServer.Requests()[0].QueryItem("tl"), GetParam().Target);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TLanguagePairTest,
    ::testing::Values(TPairRow{0, 0, "en", "zh-CN"}, TPairRow{0, 1, "en", "zh-TW"},
                      TPairRow{1, 0, "zh-CN", "en"}, TPairRow{1, 1, "zh-TW", "en"},
                      TPairRow{5, 0, "zh-CN", "en"}, TPairRow{-1, 1, "zh-TW", "en"}),
    [](const auto& row) {
      return "Direction" + std::to_string(row.param.Direction + 1) + "Chinese" +
             std::to_string(row.param.ChineseLanguage);
    });

TEST_F(TTranslateCommandTest, ChineseVariantFromTheSettingsFile) {
  StartWith("Direction=1\nChineseLanguage=1\n");
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({"x"})));
  TypeSource(QString::fromUtf8("\xE6\xBC\xA2\xE5\xAD\x97"));
  ClickTranslate();
  ASSERT_EQ(FServer.RequestCount(), 1);
  EXPECT_EQ(FServer.Requests()[0].QueryItem("text"), QByteArray("%E6%BC%A2%E5%AD%97"));
  EXPECT_EQ(FServer.Requests()[0].QueryItem("sl"), QByteArray("zh-TW"));
  EXPECT_EQ(FServer.Requests()[0].QueryItem("tl"), QByteArray("en"));
}

TEST_F(TTranslateCommandTest, AnUnknownChineseVariantSendsNothingAndShowsAnEmptyBlock) {
  StartWith("ChineseLanguage=2\nAutoCopy=1\n");
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({"earlier"})));
  TypeSource(QStringLiteral("Hello"));
  Params.ChineseLanguage = 0;
  ClickTranslate();
  ASSERT_EQ(FWindow->CopyBuffer(), QStringLiteral("earlier"));

  Params.ChineseLanguage = 2;
  ClickTranslate();
  EXPECT_EQ(FServer.RequestCount(), 1);
  EXPECT_TRUE(Target()->BodyText().isEmpty());
  const QString html = Target()->DocumentHTML();
  EXPECT_TRUE(html.contains(Meta));
  EXPECT_FALSE(html.contains(QStringLiteral("earlier")));
  EXPECT_TRUE(FWindow->ResultText().isEmpty());
  EXPECT_TRUE(FWindow->CopyBuffer().isEmpty());
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

TEST_F(TTranslateCommandTest, BlankSourceSendsNothingAndMovesTheFocusToTheTarget) {
  StartWith({});
  Target()->SetBodyText(QStringLiteral("kept"));
  TypeSource(QStringLiteral("  \n  \n "));
  ClickTranslate();
  EXPECT_EQ(FServer.RequestCount(), 0);
  EXPECT_TRUE(FWindow->SourceText().isEmpty());
  EXPECT_EQ(Target()->BodyText(), QStringLiteral("kept"));
  EXPECT_TRUE(Target()->Editor()->hasFocus());
  EXPECT_EQ(Find<QLabel>("ImgLoad")->movie(), nullptr);
}

TEST_F(TTranslateCommandTest, WithoutTheResourceModuleTheErrorBoxShowsAndNothingIsSent) {
  StartWith({});
  FFolder->RemoveResourceModule();
  Target()->SetBodyText(QStringLiteral("the previous translation"));
  TypeSource(QStringLiteral("Hello"));
  ClickTranslate();

  ASSERT_EQ(ShownBoxes().size(), 1);
  EXPECT_EQ(ShownBoxes()[0].Caption, QStringLiteral("Tralvesco"));
  EXPECT_EQ(ShownBoxes()[0].Text, QStringLiteral("Resource BAR not found."));
  EXPECT_EQ(FServer.RequestCount(), 0);
  EXPECT_TRUE(Target()->BodyText().isEmpty());
  EXPECT_EQ(Find<QLabel>("ImgLoad")->movie(), nullptr);
  EXPECT_FALSE(FWindow->Translating());

  // The window goes on working once the module is back.
  FFolder->InstallResourceModule();
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({"Hallo"})));
  ClickTranslate();
  EXPECT_EQ(Target()->BodyText(), QStringLiteral("Hallo"));
  EXPECT_EQ(ShownBoxes().size(), 1);
}

TEST_F(TTranslateCommandTest, EnterOutsideThePanesAndAltTRunTheCommand) {
  StartWith({});
  FServer.SetResponse(TTestResponse::Ok(ServiceReply({"x"})));
  TypeSource(QStringLiteral("Hello"));
  auto* rbEngToChn = Find<QRadioButton>("rbEngToChn");
  rbEngToChn->setFocus();
  QTest::keyClick(rbEngToChn, Qt::Key_Return);
  EXPECT_EQ(FServer.RequestCount(), 1);

  // A mnemonic releases the button a moment after pressing it.
  QTest::keyClick(FWindow.get(), Qt::Key_T, Qt::AltModifier);
  EXPECT_TRUE(WaitFor([this] { return FServer.RequestCount() == 2; }, 2000));

  // Enter in a pane is the pane's own: a line break, no translation.
  QTest::keyClick(Source()->Editor(), Qt::Key_Return);
  EXPECT_EQ(FServer.RequestCount(), 2);
}

// --- the un-escaping pass, on what the target pane displays ---------------

struct TUnescapeRow {
  const char* Name;
  QByteArray Piece; // as the reply's JSON text carries it
  QString Shown;
};

void PrintTo(const TUnescapeRow& row, std::ostream* os) {
  *os << row.Name;
}

class TUnescapeTest : public TTranslateCommandTest,
                      public ::testing::WithParamInterface<TUnescapeRow> {};

TEST_P(TUnescapeTest, ReplacesTheSequencesInTheDisplayedText) {
  StartWith({});
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({GetParam().Piece})));
  TypeSource(QStringLiteral("Hello"));
  ClickTranslate();
  EXPECT_EQ(Target()->BodyText(), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TUnescapeTest,
    ::testing::Values(
        TUnescapeRow{"LessAndGreater", R"(a \\u0026lt;b\\u0026gt; c)", QStringLiteral("a <b> c")},
        TUnescapeRow{"AmpersandIsNotDecodedTwice", R"(\\u0026amp;lt;)", QStringLiteral("&lt;")},
        TUnescapeRow{"LetterCaseIsIgnored", R"(\\U0026LT;)", QStringLiteral("<")},
        TUnescapeRow{"Equals", R"(x \\u003d y)", QStringLiteral("x = y")},
        TUnescapeRow{"QuoteAndApostrophe", R"(\\u0026quot;it\\u0026#39;s\\u0026quot;)",
                     QStringLiteral("\"it's\"")},
        TUnescapeRow{"NeighboursAllGo", R"(\\u003d\\u003d\\u003d)", QStringLiteral("===")},
        TUnescapeRow{"AcrossALineBreak", R"(a\\u003d\r\n\\u003db)", QStringLiteral("a=\r\n=b")},
        TUnescapeRow{"AnEncodedSequenceOnlyShowsDecodedOnce",
                     R"(\\u0026amp;#39; \\u0026lt;\\u0026gt;)", QStringLiteral("&#39; <>")},
        TUnescapeRow{"MarkupInTheReplyShowsAsText", R"(<b>bold</b> \\u003c)",
                     QStringLiteral("<b>bold</b> \\u003c")}),
    [](const auto& row) { return std::string(row.param.Name); });

// The translation shows exactly as the service returned it, line breaks
// included, whatever characters of markup it holds.
struct TShownRow {
  const char* Name;
  QByteArray Piece; // as the reply's JSON text carries it
  QString Shown;
};

void PrintTo(const TShownRow& row, std::ostream* os) {
  *os << row.Name;
}

class TTranslationShownTest : public TTranslateCommandTest,
                              public ::testing::WithParamInterface<TShownRow> {};

TEST_P(TTranslationShownTest, ShowsTheTranslationAsReturned) {
  StartWith({});
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({GetParam().Piece})));
  TypeSource(QStringLiteral("Hello"));
  ClickTranslate();
  EXPECT_EQ(Target()->BodyText(), GetParam().Shown);
  // What the pane holds reads back the same.
  const QString html = Target()->DocumentHTML();
  Target()->SetDocumentHTML(html);
  EXPECT_EQ(Target()->BodyText(), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TTranslationShownTest,
    ::testing::Values(TShownRow{"MarkupCharacters", "if a<b && c>d then <i>x</i> &amp; y",
                                QStringLiteral("if a<b && c>d then <i>x</i> &amp; y")},
                      TShownRow{"RunOfBlanks", "col1  col2", QStringLiteral("col1  col2")},
                      TShownRow{"Tab", R"(a\tb)", QStringLiteral("a\tb")},
                      TShownRow{"LineBreakBesideMarkup", R"(one <br\/> \r\n<p>two)",
                                QStringLiteral("one <br/> \r\n<p>two")},
                      TShownRow{"EntityLookalike", "&lt;tag&gt; &#60;",
                                QStringLiteral("&lt;tag&gt; &#60;")}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TTranslateCommandTest, AnUnescapedTagShowsAsTextNotMarkup) {
  StartWith({});
  FServer.Enqueue(TTestResponse::Ok(ServiceReply({R"(\\u0026lt;b\\u0026gt;x)"})));
  TypeSource(QStringLiteral("Hello"));
  ClickTranslate();
  EXPECT_EQ(Target()->BodyText(), QStringLiteral("<b>x"));
  EXPECT_TRUE(Target()->DocumentHTML().contains(QStringLiteral("&lt;b&gt;x")))
      << Target()->DocumentHTML().toStdString();
}

TEST(TrimControlCharacters, StopsAtTheFirstCharacterAboveSpace) {
  // DEL and the line separator are not at most U+0020, so they stay.
  EXPECT_EQ(TrimControlCharacters(QStringLiteral("\r\n\t\x1F x \x7F \r\n")),
            QStringLiteral("x \x7F"));
  EXPECT_EQ(TrimControlCharacters(QStringLiteral("\u2028x\u2028")),
            QStringLiteral("\u2028x\u2028"));
  EXPECT_EQ(TrimControlCharacters(QStringLiteral(" \t\0 ")), QString());
}

} // namespace
