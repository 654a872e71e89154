#include "dom_builder.h"
#include "ui/pane/html_source_writer.h"
#include "ui/pane/saved_source.h"

#include <gtest/gtest.h>

namespace {

struct TDecodeCase {
  const char* Name;
  QByteArray Bytes;
  QString Expected;
};

void PrintTo(const TDecodeCase& c, std::ostream* os) {
  *os << c.Name;
}

class TDecodeSavedSourceTest : public ::testing::TestWithParam<TDecodeCase> {};

TEST_P(TDecodeSavedSourceTest, ReadsTheByteOrderMark) {
  EXPECT_EQ(DecodeSavedSource(GetParam().Bytes), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TDecodeSavedSourceTest,
    ::testing::Values(TDecodeCase{"Utf16LittleEndian", QByteArray("\xFF\xFE<\0\xE9\0-N", 8),
                                  QStringLiteral("<\u00E9中")},
                      TDecodeCase{"Utf16CutOffByte", QByteArray("\xFF\xFE<\0-", 5),
                                  QStringLiteral("<\uFFFD")},
                      TDecodeCase{"Utf8", QByteArray("\xEF\xBB\xBF<\xC3\xA9\xE4\xB8\xAD"),
                                  QStringLiteral("<\u00E9中")},
                      TDecodeCase{"Utf8MarkOnly", QByteArray("\xEF\xBB\xBF"), QString()},
                      TDecodeCase{"LocalEncodingIsUtf8", QByteArray("<\xC3\xA9\xE4\xB8\xAD"),
                                  QStringLiteral("<\u00E9中")},
                      TDecodeCase{"InvalidBytes", QByteArray("a\xFF"), QStringLiteral("a\uFFFD")},
                      TDecodeCase{"BigEndianMarkIsNotRead", QByteArray("\xFE\xFF", 2),
                                  QStringLiteral("\uFFFD\uFFFD")},
                      TDecodeCase{"Empty", QByteArray(), QString()}),
    [](const auto& row) { return std::string(row.param.Name); });

// Only the first title is tidied, only attributes that hold links are
// rewritten, and a document with a tree that is not one html element is
// still handed out.
TEST(PreservedSource, OnlyTheFirstTitleAndOnlyLinkAttributes) {
  TDomBuilder tree;
  tree.Text(tree.Element(tree.Head(), "title"), QStringLiteral(" a \t b "));
  tree.Element(tree.Body(), "p", {{"title", "file:///x"}, {"data-x", "file:///y"}});
  tree.Element(tree.Body(), "img", {{"src", "file:///z"}});
  tree.Text(tree.Element(tree.Body(), "title"), QStringLiteral(" c  d "));
  tree.Element(tree.Document().Root(), "html");
  TSourceWriterSettings settings;
  settings.SourceCodePreservation = true;
  settings.SourceCodeOptions = TProfDHTMLEditSourceCodeOption::ExcludeFileProtocol;
  EXPECT_EQ(tree.Write(settings),
            "<html><head><title>a b</title></head><body><p title=\"file:///x\" "
            "data-x=\"file:///y\"></p><img src=\"/z\"><title> c  d "
            "</title></body></html><html></html>\r\n");
}

} // namespace
