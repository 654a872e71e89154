#include "dom_builder.h"
#include "ui/pane/html_entities.h"

#include <bit>
#include <gtest/gtest.h>

namespace {

// Every source option, shown on a small tree with the flag on and off (the
// other flags as in Base).
struct TFlagCase {
  const char* Name;
  TOpt Flag;
  TProfDHTMLEditSourceCodeOptions Base;
  void (*Build)(TDomBuilder&);
  std::string On;
  std::string Off;
};

void PrintTo(const TFlagCase& c, std::ostream* os) {
  *os << c.Name;
}

class TWriterFlagTest : public ::testing::TestWithParam<TFlagCase> {};

TEST_P(TWriterFlagTest, ShowsItsEffectInBothStates) {
  const TFlagCase& c = GetParam();
  TDomBuilder tree;
  c.Build(tree);
  EXPECT_EQ(tree.Write(c.Base | c.Flag), c.On);
  EXPECT_EQ(tree.Write(c.Base & ~TProfDHTMLEditSourceCodeOptions(c.Flag)), c.Off);
}

const TProfDHTMLEditSourceCodeOptions NoOptions;

const TFlagCase FlagCases[] = {
    TFlagCase{"LowercaseElementNames", TOpt::LowercaseElementNames, NoOptions,
              [](TDomBuilder& b) { b.Text(b.Element(b.Body(), "DIV"), "x"); },
              InBody("<div>x</div>"), InBody("<DIV>x</DIV>")},
    TFlagCase{"TerminateEmptyElements", TOpt::TerminateEmptyElements, NoOptions,
              [](TDomBuilder& b) { b.Element(b.Body(), "br"); }, InBody("<br/>"), InBody("<br>")},
    TFlagCase{"AddSpaceInTerminatedEmptyElements", TOpt::AddSpaceInTerminatedEmptyElements,
              TOpt::TerminateEmptyElements, [](TDomBuilder& b) { b.Element(b.Body(), "hr"); },
              InBody("<hr />"), InBody("<hr/>")},
    TFlagCase{"TerminateComments", TOpt::TerminateComments, NoOptions,
              [](TDomBuilder& b) { b.Comment(b.Body(), "<!-- note"); }, InBody("<!-- note -->"),
              InBody("<!-- note")},
    TFlagCase{"LowercaseAttributeNames", TOpt::LowercaseAttributeNames, NoOptions,
              [](TDomBuilder& b) {
                b.Element(b.Body(), "div", {{"CLASS", "a"}});
              },
              InBody("<div class=a></div>"), InBody("<div CLASS=a></div>")},
    TFlagCase{"QuoteAttributeValues", TOpt::QuoteAttributeValues, NoOptions,
              [](TDomBuilder& b) {
                b.Element(b.Body(), "div", {{"class", "a"}});
              },
              InBody("<div class=\"a\"></div>"), InBody("<div class=a></div>")},
    TFlagCase{"UnminimizeBooleanAttributes", TOpt::UnminimizeBooleanAttributes, NoOptions,
              [](TDomBuilder& b) {
                b.Element(b.Body(), "input", {{"type", "checkbox"}, {"checked", ""}});
              },
              InBody("<input type=checkbox checked=checked>"),
              InBody("<input type=checkbox checked>")},
    TFlagCase{"LowercaseStylePropertyNames", TOpt::LowercaseStylePropertyNames, NoOptions,
              [](TDomBuilder& b) {
                b.Text(b.Element(b.Body(), "span",
                                 {{"style", "COLOR: Red; FONT-FAMILY: 'Arial Black'"}}),
                       "x");
              },
              InBody("<span style=\"color: Red; font-family: 'Arial Black'\">x</span>"),
              InBody("<span style=\"COLOR: Red; FONT-FAMILY: 'Arial Black'\">x</span>")},
    TFlagCase{
        "UseEntityReferences", TOpt::UseEntityReferences, NoOptions,
        [](TDomBuilder& b) { b.Text(b.Body(), QStringLiteral("a&b<c>\"\u00E9\u00A0\u2014")); },
        InBody("a&amp;b&lt;c&gt;&quot;&eacute;&nbsp;&mdash;"),
        InBody("a&amp;b&lt;c&gt;\"&#233;&nbsp;&#8212;")},
    TFlagCase{"Preserve8BitCharacters", TOpt::Preserve8BitCharacters, NoOptions,
              [](TDomBuilder& b) { b.Text(b.Body(), QStringLiteral("\u00E9中😀")); }, InBody("é中😀"),
              InBody("&#233;&#20013;&#128512;")},
    TFlagCase{"HideBaseElement", TOpt::HideBaseElement, NoOptions,
              [](TDomBuilder& b) {
                b.Element(b.Head(), "base", {{"href", "http://h/d/"}});
              },
              "<html><head></head><body></body></html>",
              "<html><head><base href=http://h/d/></head><body></body></html>"},
    TFlagCase{"ExcludeFileProtocol", TOpt::ExcludeFileProtocol, NoOptions,
              [](TDomBuilder& b) {
                b.Element(b.Body(), "img", {{"src", "file:///C:/d/a.png"}});
              },
              InBody("<img src=C:/d/a.png>"), InBody("<img src=file:///C:/d/a.png>")},
    TFlagCase{"ExcludeBaseURL", TOpt::ExcludeBaseURL, NoOptions,
              [](TDomBuilder& b) {
                b.Element(b.Head(), "base", {{"href", "http://h/d/"}});
                b.Text(b.Element(b.Body(), "a", {{"href", "http://h/d/x.html"}}), "x");
              },
              "<html><head><base href=http://h/d/></head><body><a href=x.html>x</a>"
              "</body></html>",
              "<html><head><base href=http://h/d/></head><body>"
              "<a href=http://h/d/x.html>x</a></body></html>"},
    TFlagCase{"UseBackSlashAsPathDelimiter", TOpt::UseBackSlashAsPathDelimiter, NoOptions,
              [](TDomBuilder& b) {
                b.Element(b.Body(), "img", {{"src", "file:///C:/d/a.png"}});
              },
              InBody("<img src=file:///C:\\d\\a.png>"), InBody("<img src=file:///C:/d/a.png>")},
    TFlagCase{"IndentSource", TOpt::IndentSource, NoOptions,
              [](TDomBuilder& b) { b.Text(b.Element(b.Element(b.Body(), "div"), "p"), "x"); },
              "<html>\r\n  <head></head>\r\n  <body>\r\n    <div>\r\n      <p>x</p>\r\n"
              "    </div>\r\n  </body>\r\n</html>",
              InBody("<div><p>x</p></div>")},
    TFlagCase{"AddNbsp", TOpt::AddNbsp, NoOptions, [](TDomBuilder& b) { b.Element(b.Body(), "p"); },
              InBody("<p>&nbsp;</p>"), InBody("<p></p>")}};

INSTANTIATE_TEST_SUITE_P(Flags, TWriterFlagTest, ::testing::ValuesIn(FlagCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(WriterFlags, TableCoversEverySourceOption) {
  // One row per flag, and every flag that "all options" holds has its row: a
  // new flag needs a row above.
  TProfDHTMLEditSourceCodeOptions covered;
  for (const TFlagCase& row : FlagCases) {
    const TProfDHTMLEditSourceCodeOptions flag(row.Flag);
    EXPECT_EQ(std::popcount(flag.toInt()), 1) << row.Name;
    EXPECT_FALSE(covered & flag) << row.Name << " has a second row";
    covered |= flag;
  }
  EXPECT_EQ(covered, AllSourceCodeOptions);
}

TEST(WriterMeta, EndsAsTheEmptyElementFlagsSay) {
  TDomBuilder tree;
  tree.Element(tree.Head(), "meta",
               {{"content", "text/html; charset=UTF-8"}, {"http-equiv", "content-type"}});
  const std::string meta = "<meta content=\"text/html; charset=UTF-8\" http-equiv=\"content-type\"";
  const auto head = [&](TProfDHTMLEditSourceCodeOptions options) {
    const std::string out = tree.Write(options);
    const std::size_t start = out.find("<meta");
    return out.substr(start, out.find('>', start) + 1 - start);
  };
  EXPECT_EQ(head(PaneOptions), meta + " />"); // the META line itself
  EXPECT_EQ(head(TOpt::QuoteAttributeValues | TOpt::TerminateEmptyElements), meta + "/>");
  EXPECT_EQ(head(TOpt::QuoteAttributeValues), meta + ">");
  EXPECT_EQ(head(TOpt::QuoteAttributeValues | TOpt::AddSpaceInTerminatedEmptyElements), meta + ">");
}

TEST(WriterMeta, GeneratorMetaIsNeverWritten) {
  for (const char* content : {"MSHTML 11.00.9600.19597", "Microsoft DHTML Editing Control"}) {
    for (const char* name : {"GENERATOR", "generator"}) {
      TDomBuilder tree;
      tree.Element(tree.Head(), "meta", {{"name", name}, {"content", content}});
      for (const auto options : {TProfDHTMLEditSourceCodeOptions(), AllSourceCodeOptions})
        EXPECT_EQ(tree.Write(options).find("meta"), std::string::npos) << content << name;
    }
  }
}

TEST(WriterMeta, OtherGeneratorsAndGeneratorsWithMoreAttributesStay) {
  TDomBuilder tree;
  tree.Element(tree.Head(), "meta", {{"name", "GENERATOR"}, {"content", "Tralvesco"}});
  tree.Element(tree.Head(), "meta", {{"name", "GENERATOR"}, {"content", "MSHTML 11"}, {"id", "g"}});
  EXPECT_EQ(tree.Write(TOpt::QuoteAttributeValues),
            "<html><head><meta name=\"GENERATOR\" content=\"Tralvesco\">"
            "<meta name=\"GENERATOR\" content=\"MSHTML 11\" id=\"g\"></head><body></body></html>");
}

TEST(WriterMeta, MetaWithNothingToWriteIsLeftOut) {
  TDomBuilder tree;
  tree.Element(tree.Head(), "meta", {{"DESIGNTIMESP", "1234"}});
  tree.Element(tree.Head(), "meta", {{"content", ""}});
  tree.Element(tree.Head(), "meta")->Attributes.append({"name", "x", false});
  EXPECT_EQ(tree.Write(PaneOptions), "<html>\r\n  <head></head>\r\n  <body></body>\r\n</html>");
}

TEST(WriterMeta, CharsetUnicodeBecomesTheLocalEncodingUnderPreserve8Bit) {
  // The local 8-bit encoding is UTF-8 here: every character survives it.
  const QString sample = QStringLiteral("\u00E9中😀");
  ASSERT_EQ(QString::fromLocal8Bit(sample.toLocal8Bit()), sample);

  TDomBuilder tree;
  tree.Element(tree.Head(), "meta",
               {{"http-equiv", "Content-Type"}, {"content", "text/html; charset=unicode"}});
  const auto options = TOpt::QuoteAttributeValues | TOpt::Preserve8BitCharacters;
  EXPECT_NE(tree.Write(options).find("content=\"text/html; charset=UTF-8\""), std::string::npos);
  EXPECT_NE(tree.Write(TOpt::QuoteAttributeValues).find("content=\"text/html; charset=unicode\""),
            std::string::npos);
}

std::string WrittenTitle(const char* value, TProfDHTMLEditSourceCodeOptions options = {}) {
  TDomBuilder tree;
  tree.Element(tree.Body(), "div", {{"title", value}});
  const std::string out = tree.Write(options);
  const std::size_t start = out.find("title=") + 6;
  return out.substr(start, out.find("></div>") - start);
}

TEST(WriterAttributes, QuotesWhenAskedOrWhenTheValueCouldNotStandAlone) {
  EXPECT_EQ(WrittenTitle("plain"), "plain");
  EXPECT_EQ(WrittenTitle("a b"), "\"a b\"");
  EXPECT_EQ(WrittenTitle("a\tb"), "\"a\tb\"");
  EXPECT_EQ(WrittenTitle("a>b"), "\"a>b\"");
  EXPECT_EQ(WrittenTitle("it's"), "\"it's\"");
  EXPECT_EQ(WrittenTitle("'x"), "\"'x\"");
  EXPECT_EQ(WrittenTitle("a=b<c"), "a=b<c");
  EXPECT_EQ(WrittenTitle("say \"hi\""), "\"say &quot;hi&quot;\"");
  EXPECT_EQ(WrittenTitle("\"", TOpt::QuoteAttributeValues), "\"&quot;\"");
}

TEST(WriterAttributes, LastValueBeforeASlashIsQuoted) {
  TDomBuilder tree;
  tree.Element(tree.Body(), "img", {{"alt", "x"}, {"src", "a.png"}});
  tree.Element(tree.Body(), "input", {{"checked", ""}});
  EXPECT_EQ(tree.Write(TOpt::TerminateEmptyElements | TOpt::UnminimizeBooleanAttributes),
            InBody("<img alt=x src=\"a.png\"/><input checked=\"checked\"/>"));
  EXPECT_EQ(tree.Write(TOpt::TerminateEmptyElements | TOpt::AddSpaceInTerminatedEmptyElements),
            InBody("<img alt=x src=a.png /><input checked />"));
}

TEST(WriterAttributes, EscapesAnAmpersandOnlyWhereItWouldStartAReference) {
  EXPECT_EQ(WrittenTitle("?a=1&b=2"), "?a=1&b=2");
  EXPECT_EQ(WrittenTitle("R&D"), "R&D");
  EXPECT_EQ(WrittenTitle("x&copy;y"), "x&amp;copy;y");
  EXPECT_EQ(WrittenTitle("&#38;"), "&amp;#38;");
  EXPECT_EQ(WrittenTitle("a&copy"), "a&amp;copy");
  EXPECT_EQ(WrittenTitle("a&copy=1"), "a&copy=1");
  EXPECT_EQ(WrittenTitle("a&copyx"), "a&copyx");
  EXPECT_EQ(WrittenTitle("&AMP"), "&amp;AMP");
  EXPECT_EQ(WrittenTitle("a\rb"), "\"a&#13;b\"");
}

TEST(WriterAttributes, WritesSpecifiedOnesAndUnspecifiedOnesThatCarryState) {
  TDomBuilder tree;
  TDomNode* div = tree.Element(tree.Body(), "div",
                               {{"class", ""},
                                {"align", ""},
                                {"title", ""},
                                {"style", "  "},
                                {"DESIGNTIMESP", "1"},
                                {"DesignTimeUrl", "x"},
                                {"onclick", "go()"}});
  div->Attributes.append({"id", "defaulted", false});
  div->Attributes.append({"class", "c", false});
  div->Attributes.append({"align", "left", false});
  div->Attributes.append({"shape", "rect", false});
  TDomNode* area = tree.Element(tree.Body(), "area");
  area->Attributes.append({"shape", "rect", false});
  area->Attributes.append({"coords", "0,0,1,1", false});
  area->Attributes.append({"href", "x", false});
  TDomNode* option = tree.Element(tree.Body(), "option", {{"disabled", ""}});
  option->Attributes.append({"value", "v", false});
  option->Attributes.append({"selected", "false", false});
  TDomNode* chosen = tree.Element(tree.Body(), "option");
  chosen->Attributes.append({"selected", "true", false});
  EXPECT_EQ(tree.Write(TProfDHTMLEditSourceCodeOptions()),
            InBody("<div onclick=go() class=c align=left></div>"
                   "<area shape=rect coords=0,0,1,1>"
                   "<option disabled value=v></option><option selected></option>"));
}

TEST(WriterAttributes, UnwritableAttributeNamesAreSkipped) {
  TDomBuilder tree;
  tree.Element(tree.Body(), "div", {{"a b", "1"}, {"x\"y", "2"}, {"", "3"}, {"ok", "4"}});
  EXPECT_EQ(tree.Write(TProfDHTMLEditSourceCodeOptions()), InBody("<div ok=4></div>"));
}

TEST(WriterAttributes, BooleanAttributesUseTheWrittenNameUnderBothCaseFlags) {
  TDomBuilder tree;
  tree.Element(tree.Body(), "select", {{"MULTIPLE", "multiple"}});
  EXPECT_EQ(tree.Write(TOpt::UnminimizeBooleanAttributes | TOpt::QuoteAttributeValues |
                       TOpt::LowercaseAttributeNames),
            InBody("<select multiple=\"multiple\"></select>"));
  EXPECT_EQ(tree.Write(TOpt::UnminimizeBooleanAttributes),
            InBody("<select MULTIPLE=MULTIPLE></select>"));
}

TEST(WriterText, CarriageReturnIsFollowedByALineFeed) {
  TDomBuilder tree;
  tree.Text(tree.Body(), QStringLiteral("a\rb\r\nc\r"));
  EXPECT_EQ(tree.Write(PaneOptions),
            "<html>\r\n  <head></head>\r\n  <body>a\r\nb\r\nc\r\n</body>\r\n</html>");
}

TEST(WriterText, EveryHtml4CharacterGetsItsNamedEntity) {
  TDomBuilder tree;
  tree.Text(tree.Body(), QStringLiteral("\u00A0\u00FF\u0152\u0192\u03A9\u2026\u20AC\u2666\u2122"));
  EXPECT_EQ(tree.Write(TOpt::UseEntityReferences | TOpt::Preserve8BitCharacters),
            InBody("&nbsp;&yuml;&OElig;&fnof;&Omega;&hellip;&euro;&diams;&trade;"));
}

TEST(WriterText, EntityTableFindsAllOfItsNames) {
  // The HTML 4 set less "lang" and "rang"; an unsorted table would lose some.
  int named = 0;
  for (char32_t c = 0; c <= 0xFFFF; ++c)
    named += EntityNameFor(char16_t(c)).isEmpty() ? 0 : 1;
  EXPECT_EQ(named, 250);
  EXPECT_EQ(EntityNameFor(u'\u00E9').toString(), QStringLiteral("eacute"));
  EXPECT_TRUE(IsBareEntityName(u"copy"));
  EXPECT_TRUE(IsBareEntityName(u"QUOT"));
  EXPECT_FALSE(IsBareEntityName(u"hellip"));
}

TEST(WriterText, AngleBracketsWithoutAnEntityThatReadsBackTheSame) {
  // Today's readers take "&lang;" for U+27E8, not U+2329.
  TDomBuilder tree;
  tree.Text(tree.Body(), QStringLiteral("\u2329x\u232A"));
  EXPECT_EQ(tree.Write(TOpt::UseEntityReferences | TOpt::Preserve8BitCharacters),
            InBody("\u2329x\u232A"));
  EXPECT_EQ(tree.Write(TOpt::UseEntityReferences), InBody("&#9001;x&#9002;"));
}

TEST(WriterText, UnpairedSurrogateBecomesAReferenceEvenWhenPreserving) {
  TDomBuilder tree;
  QString text = QStringLiteral("a");
  text += QChar(0xD83D);
  text += QStringLiteral("b");
  tree.Text(tree.Body(), text);
  EXPECT_EQ(tree.Write(TOpt::Preserve8BitCharacters), InBody("a&#55357;b"));
}

TEST(WriterText, RawTextElementsKeepTheirText) {
  TDomBuilder tree;
  tree.RawElement(tree.Head(), "script", QStringLiteral("if (a < b && c) { x = \"&amp;\"; }"));
  tree.Text(tree.Element(tree.Head(), "style"), QStringLiteral("p > b { color: red }"));
  tree.Text(tree.Element(tree.Body(), "textarea"), QStringLiteral("a<b & c"));
  EXPECT_EQ(tree.Write(TProfDHTMLEditSourceCodeOptions()),
            "<html><head><script>if (a < b && c) { x = \"&amp;\"; }</script>"
            "<style>p > b { color: red }</style></head>"
            "<body><textarea>a&lt;b &amp; c</textarea></body></html>");
}

TEST(WriterText, CommentsAreCompletedOnlyWhereSomethingIsMissing) {
  const auto written = [](const QString& comment) {
    TDomBuilder tree;
    tree.Comment(tree.Body(), comment);
    const std::string out = tree.Write(TOpt::TerminateComments);
    return out.substr(25, out.size() - 25 - 14);
  };
  EXPECT_EQ(written("<!-- a -->"), "<!-- a -->");
  EXPECT_EQ(written("<!--a-->"), "<!--a-->");
  EXPECT_EQ(written("<!-->"), "<!-->");
  EXPECT_EQ(written("<!-- a --"), "<!-- a -->");
  EXPECT_EQ(written("<!-- a -"), "<!-- a -->");
  EXPECT_EQ(written("<!-- a "), "<!-- a -->");
  EXPECT_EQ(written("<!--a--"), "<!--a-- -->");
  EXPECT_EQ(written("<!--"), "<!-- -->");
  EXPECT_EQ(written("<?xml ?>"), "<?xml ?>");
}

struct TSubstitutionCase {
  const char* Name;
  const char* Original;
  const char* Replacement;
  TProfDHTMLEditSourceCodeOptions Options;
  std::string Expected;
};

void PrintTo(const TSubstitutionCase& c, std::ostream* os) {
  *os << c.Name;
}

class TWriterSubstitutionTest : public ::testing::TestWithParam<TSubstitutionCase> {};

TEST_P(TWriterSubstitutionTest, RenamesStartAndEndTags) {
  const TSubstitutionCase& c = GetParam();
  TDomBuilder tree;
  tree.Text(tree.Element(tree.Body(), "b"), "x");
  TSourceWriterSettings settings;
  settings.SourceCodeOptions = c.Options;
  settings.TagsSubstitution = {{QString::fromUtf8(c.Original), QString::fromUtf8(c.Replacement)},
                               {QStringLiteral("b"), QStringLiteral("em")}};
  EXPECT_EQ(tree.Write(settings), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TWriterSubstitutionTest,
    ::testing::Values(
        TSubstitutionCase{"Plain", "b", "strong", {}, InBody("<strong>x</strong>")},
        TSubstitutionCase{"NameCaseIgnored", "B", "strong", {}, InBody("<strong>x</strong>")},
        TSubstitutionCase{"ReplacementAsTyped", "b", "STRONG", {}, InBody("<STRONG>x</STRONG>")},
        TSubstitutionCase{"ReplacementLowerCased", "b", "STRONG", TOpt::LowercaseElementNames,
                          InBody("<strong>x</strong>")},
        TSubstitutionCase{"EmptyReplacementIgnored", "b", "", {}, InBody("<em>x</em>")},
        TSubstitutionCase{"BrokenReplacementIgnored", "b", "a b", {}, InBody("<em>x</em>")},
        TSubstitutionCase{"OtherElement", "i", "em", {}, InBody("<em>x</em>")}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
