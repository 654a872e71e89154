// A tag with more attributes than the reader keeps loses those beyond the
// limit and nothing else; markup the parser reads as text is left alone.
#include "pane_test_support.h"
#include "ui/pane/engine/gumbo_document.h"

#include <gtest/gtest.h>

namespace {

struct TLimitRow {
  const char* Name;
  QByteArray Markup;
  QByteArray Kept;
};

void PrintTo(const TLimitRow& row, std::ostream* out) {
  *out << row.Name;
}

class TAttributeLimitTest : public ::testing::TestWithParam<TLimitRow> {};

TEST_P(TAttributeLimitTest, KeepsTheFirstTwo) {
  EXPECT_EQ(LimitTags(GetParam().Markup, TGumboDocument::MaxNestingDepth, 2), GetParam().Kept);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TAttributeLimitTest,
    ::testing::Values(
        TLimitRow{"AtTheLimit", "<p a=1 b=2>x</p>", "<p a=1 b=2>x</p>"},
        TLimitRow{"QuotedAndBare", "<p a=1 b=\"2>\" c d='4' e>x</p>", "<p a=1 b=\"2>\" >x</p>"},
        TLimitRow{"SelfClosing", "<br a b c/>", "<br a b />"},
        TLimitRow{"SpacesAroundEquals", "<i a = 1 b = '2' c = 3>", "<i a = 1 b = '2' >"},
        TLimitRow{"Comment", "<!-- <p a b c> --><i>", "<!-- <p a b c> --><i>"},
        TLimitRow{"ScriptText", "<script>if (a<b c d e) {}</script><i a b c>",
                  "<script>if (a<b c d e) {}</script><i a b >"},
        TLimitRow{"EndTag", "</p a b c>", "</p a b >"},
        TLimitRow{"CutOff", "<p a b c d", "<p a b "}),
    [](const ::testing::TestParamInfo<TLimitRow>& row) { return std::string(row.param.Name); });

TEST(AttributeLimit, AHostileParagraphShowsItsTextWithTheFirstAttributes) {
  QString html = QStringLiteral("<p");
  for (int i = 0; i < 20000; ++i)
    html += QStringLiteral(" a%1=\"%1\"").arg(i);
  html += QStringLiteral(">shown</p>");
  const auto pane = MakeReadyPane();
  pane->SetDocumentHTML(html);
  EXPECT_EQ(pane->BodyText(), QStringLiteral("shown"));
  const QString source = pane->DocumentHTML();
  EXPECT_TRUE(source.contains(QStringLiteral("a%1=").arg(TGumboDocument::MaxTagAttributes - 1)));
  EXPECT_FALSE(source.contains(QStringLiteral("a%1=").arg(TGumboDocument::MaxTagAttributes)));
}

} // namespace
