#include "translate/reply_parser.h"

#include "qt_test_printers.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

struct TReplyCase {
  const char* Name;
  QString Reply;
  std::optional<QString> Text; // nothing: the reply must fail
};

void PrintTo(const TReplyCase& c, std::ostream* os) {
  *os << c.Name;
}

TReplyCase Ok(const char* name, const char* reply, const QString& text) {
  return {name, QString::fromUtf8(reply), text};
}
TReplyCase Fails(const char* name, const QString& reply) {
  return {name, reply, std::nullopt};
}
TReplyCase Fails(const char* name, const char* reply) {
  return Fails(name, QString::fromUtf8(reply));
}

class TParseTranslationTest : public ::testing::TestWithParam<TReplyCase> {};

TEST_P(TParseTranslationTest, GivesTheTranslationOrTheFailureMessage) {
  const TParsedTranslation parsed = ParseTranslation(GetParam().Reply);
  if (GetParam().Text) {
    EXPECT_EQ(parsed.Text, *GetParam().Text);
    EXPECT_TRUE(parsed.Error.isEmpty()) << parsed.Error.toStdString();
  } else {
    EXPECT_TRUE(parsed.Text.isEmpty()) << parsed.Text.toStdString();
    EXPECT_EQ(parsed.Error, QStringLiteral("ERROR: Failed to parse translation results."));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, TParseTranslationTest,
    ::testing::Values(
        Ok("TwoPiecesJoinedOtherMembersIgnored",
           R"({"sentences":[{"trans":"A","orig":"a","backend":1},{"orig":"b","trans":"B"}],)"
           R"("src":"en","spell":{}})",
           QStringLiteral("AB")),
        Ok("EmptySentencesIsAnEmptySuccess", R"({"sentences":[]})", QString()),
        Ok("EscapedCrLfBecomesBreakTag", R"({"sentences":[{"trans":"one\r\ntwo"}]})",
           QStringLiteral("one<br>two")),
        Ok("EscapedLfAloneIsALineFeed", R"({"sentences":[{"trans":"one\ntwo"}]})",
           QStringLiteral("one\ntwo")),
        Ok("EscapedCrAloneIsACarriageReturn", R"({"sentences":[{"trans":"one\rtwo"}]})",
           QStringLiteral("one\rtwo")),
        Ok("DoubleEscapesSurviveForTheUnescapingPass",
           R"({"sentences":[{"trans":"x \\u003d y \\u0026lt;b\\u0026gt;"}]})",
           QStringLiteral("x \\u003d y \\u0026lt;b\\u0026gt;")),
        Ok("UnicodeEscapesAndAPairOutsideTheBmp",
           R"({"sentences":[{"trans":"\u4e2d\u6587 \ud83d\ude00 é"}]})",
           QStringLiteral(u"\u4e2d\u6587 \U0001F600 \u00e9")),
        Ok("TrailingTextIgnored", R"({"sentences":[{"trans":"A"}]} trailing, not JSON {[)",
           QStringLiteral("A")),
        Ok("SecondValueIgnored", R"({"sentences":[{"trans":"A"}]}{"sentences":[{"trans":"B"}]})",
           QStringLiteral("A")),
        Ok("LeadingWhiteSpaceSkipped", "\r\n\t {\"sentences\":[{\"trans\":\"A\"}]}",
           QStringLiteral("A")),
        Ok("NumbersAndBooleansGiveTheirText",
           R"({"sentences":[{"trans":42},{"trans":-1.5e3},{"trans":true},{"trans":false}]})",
           QStringLiteral("42-1.5e3truefalse")),
        Ok("RepeatedTransLastCounts", R"({"sentences":[{"trans":null,"trans":"A","trans":"B"}]})",
           QStringLiteral("B")),
        Ok("RepeatedSentencesLastCounts", R"({"sentences":7,"sentences":[{"trans":"A"}]})",
           QStringLiteral("A")),
        Ok("TransInsideOtherMembersIgnored",
           R"({"x":{"sentences":[{"trans":"no"}]},"sentences":[{"y":{"trans":"no"},"trans":"A"}]})",
           QStringLiteral("A")),
        Ok("EmptyTransPieces", R"({"sentences":[{"trans":""},{"trans":"A"},{"trans":""}]})",
           QStringLiteral("A")),
        Fails("EmptyReply", ""), Fails("WhiteSpaceOnly", " \r\n"),
        Fails("RequestFailureMessage",
              "Failed to connect to 127.0.0.1 port 9 after 0 ms: Couldn't connect to server"),
        Fails("StatusLine", "HTTP/1.1 302 Found"),
        Fails("TopLevelArray", R"([{"sentences":[{"trans":"A"}]}])"),
        Fails("TopLevelString", R"("sentences")"), Fails("NoSentences", R"({"src":"en"})"),
        Fails("NameCaseMatters", R"({"Sentences":[{"trans":"A"}]})"),
        Fails("TransCaseMatters", R"({"sentences":[{"Trans":"A"}]})"),
        Fails("SentencesNotAnArray", R"({"sentences":{"trans":"A"}})"),
        Fails("LaterSentencesNotAnArray", R"({"sentences":[{"trans":"A"}],"sentences":"B"})"),
        Fails("ElementNotAnObject", R"({"sentences":[{"trans":"A"},"B"]})"),
        Fails("ElementWithoutTransDiscardsEarlierPieces",
              R"({"sentences":[{"trans":"A"},{"trans":"B"},{"orig":"c"}]})"),
        Fails("NullTrans", R"({"sentences":[{"trans":null}]})"),
        Fails("RepeatedTransEndingInNull", R"({"sentences":[{"trans":"A","trans":null}]})"),
        Fails("ObjectTrans", R"({"sentences":[{"trans":{"text":"A"}}]})"),
        Fails("ArrayTrans", R"({"sentences":[{"trans":["A"]}]})"),
        Fails("Truncated", R"({"sentences":[{"trans":"A"}])"),
        Fails("SyntaxErrorInsideTheFirstValue", R"({"sentences":[{"trans":"A"}], oops})"),
        Fails("LoneSurrogateEscape", R"({"sentences":[{"trans":"\ud800"}]})"),
        Fails("Comment", R"(/* c */ {"sentences":[{"trans":"A"}]})"),
        Fails("SingleQuotes", R"({'sentences':[{'trans':'A'}]})"),
        Fails("NulCharacter", QString(QChar(0)))),
    [](const ::testing::TestParamInfo<TReplyCase>& row) { return std::string(row.param.Name); });

TEST(ParseTranslation, DeepNestingInAnIgnoredMemberNeitherCrashesNorCounts) {
  const int depth = 200000;
  const QString reply = QStringLiteral("{\"x\":") + QString(depth, u'[') + QString(depth, u']') +
                        QStringLiteral(",\"sentences\":[{\"trans\":\"A\"}]}");
  EXPECT_EQ(ParseTranslation(reply).Text, QStringLiteral("A"));
  EXPECT_EQ(ParseTranslation(QString(depth, u'{')).Error, ParseFailureMessage);
}

TEST(ParseTranslation, ManySentencesJoinInOrder) {
  QString reply = QStringLiteral("{\"sentences\":[");
  QString expected;
  for (int i = 0; i < 10000; ++i) {
    const QString piece = QStringLiteral("s%1\u4e2d. ").arg(i);
    reply += QStringLiteral("%1{\"trans\":\"%2\",\"orig\":\"o\"}").arg(i ? "," : "", piece);
    expected += piece;
  }
  reply += QStringLiteral("]}");
  const TParsedTranslation parsed = ParseTranslation(reply);
  EXPECT_TRUE(parsed.Error.isEmpty());
  EXPECT_EQ(parsed.Text, expected);
}

} // namespace
