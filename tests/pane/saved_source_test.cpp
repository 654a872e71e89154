#include "ui/pane/html_source_writer.h"
#include "ui/pane/raw_html_scanner.h"
#include "ui/pane/saved_source.h"

#include <QRandomGenerator>
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

TEST(ScanRawTags, FindsTagsAttributesAndRawTextContent) {
  const QString source =
      QStringLiteral("<!DOCTYPE x><!-- <a> --><A HREF = 'x y' b=c d>t</a><title><b></title >");
  QStringList seen;
  ScanRawTags(source, [&](const TRawTag& tag) {
    QString text = (tag.IsEndTag ? QStringLiteral("/") : QString()) + tag.Name;
    for (const TRawAttribute& a : tag.Attributes)
      text += u' ' + a.Name + u'=' +
              (a.ValueStart < 0 ? QStringLiteral("-") : source.mid(a.ValueStart, a.ValueLength));
    if (tag.ContentEnd >= 0)
      text += u'[' + source.mid(tag.End, tag.ContentEnd - tag.End) + u']';
    seen.append(text);
    return true;
  });
  EXPECT_EQ(seen, QStringList({QStringLiteral("a href=x y b=c d=-"), QStringLiteral("/a"),
                               QStringLiteral("title[<b>]")}));
}

TEST(ScanRawTags, SurvivesAnyInput) {
  // Broken markup of every kind must end the scan, never hang or read past
  // the end.
  const QString pieces[] = {"<",   "<a", ">",      "\"",       "'",         "=",     "<!--",
                            "-->", "</", "<!",     "<script>", "</script",  " ",     "x",
                            "<?",  "/",  "<title", "\r\n",     "<b c='d'>", "<e f=g"};
  QRandomGenerator random(7);
  for (int round = 0; round < 2000; ++round) {
    QString source;
    const int count = random.bounded(1, 30);
    for (int i = 0; i < count; ++i)
      source += pieces[random.bounded(int(std::size(pieces)))];
    int tags = 0;
    ScanRawTags(source, [&](const TRawTag& tag) {
      EXPECT_LE(tag.End, source.size());
      EXPECT_LE(tag.ContentEnd, source.size());
      EXPECT_LE(tag.CloseEnd, source.size());
      for (const TRawAttribute& a : tag.Attributes)
        EXPECT_LE(a.ValueStart + a.ValueLength, source.size());
      return ++tags < 1000;
    });
    EXPECT_LE(tags, source.size());
  }
}

TEST(TidySavedSource, OnlyTheFirstTitleAndOnlyLinkAttributes) {
  TLinkRewriting links;
  links.ExcludeFileProtocol = true;
  EXPECT_EQ(TidySavedSource(QStringLiteral("<title> a \t b </title><p title=file:///x "
                                           "data-x=file:///y><img src=file:///z>"
                                           "<title> c  d </title>"),
                            links),
            QStringLiteral("<title>a b</title><p title=file:///x data-x=file:///y>"
                           "<img src=/z><title> c  d </title>"));
  EXPECT_EQ(TidySavedSource(QString(), links), QString());
}

} // namespace
