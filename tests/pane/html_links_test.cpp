#include "ui/pane/html_element_kinds.h"
#include "ui/pane/html_links.h"

#include <gtest/gtest.h>

namespace {

enum : unsigned { F = 1, B = 2, S = 4 }; // file protocol, base address, backslashes

struct TLinkCase {
  const char* Name;
  unsigned Flags;
  const char* Base;
  const char* Link;
  const char* Expected;
};

void PrintTo(const TLinkCase& c, std::ostream* os) {
  *os << c.Name;
}

class TLinkRewriteTest : public ::testing::TestWithParam<TLinkCase> {};

TEST_P(TLinkRewriteTest, WritesTheLinkAsTheFlagsAsk) {
  const TLinkCase& c = GetParam();
  TLinkRewriting how;
  how.ExcludeFileProtocol = c.Flags & F;
  how.ExcludeBaseURL = c.Flags & B;
  how.UseBackSlashAsPathDelimiter = c.Flags & S;
  how.BaseURL = QString::fromUtf8(c.Base);
  EXPECT_EQ(RewriteLink(QString::fromUtf8(c.Link), how).toStdString(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TLinkRewriteTest,
    ::testing::Values(
        TLinkCase{"NoFlags", 0, "file:///C:/d/", "file:///C:/d/a.html", "file:///C:/d/a.html"},
        TLinkCase{"FileDrive", F, "", "file:///C:/d/a.html", "C:/d/a.html"},
        TLinkCase{"FileDriveWithBar", F, "", "file:///C|/d/a.html", "C:/d/a.html"},
        TLinkCase{"FileDriveAsHost", F, "", "file://C:/d/a.html", "C:/d/a.html"},
        TLinkCase{"FileRootPath", F, "", "file:///home/u/a.html", "/home/u/a.html"},
        TLinkCase{"FileSingleSlash", F, "", "file:/home/u/a.html", "/home/u/a.html"},
        TLinkCase{"FileLocalhost", F, "", "file://localhost/home/u/a.html", "/home/u/a.html"},
        TLinkCase{"FileShare", F, "", "file://server/share/a.html", "//server/share/a.html"},
        TLinkCase{"FileSchemeCase", F, "", "FILE:///C:/a", "C:/a"},
        TLinkCase{"FileNothingAfter", F, "", "file://", "file://"},
        TLinkCase{"FileWithoutPath", F, "", "file:a.html", "file:a.html"},
        TLinkCase{"FileKeepsEscapes", F, "", "file:///C:/My%20Docs/a.html", "C:/My%20Docs/a.html"},
        TLinkCase{"WebLinkNotLocal", F | S, "", "http://h/d/a.html", "http://h/d/a.html"},
        TLinkCase{"BackslashInFileLink", S, "", "file:///C:/d/a.html", "file:///C:\\d\\a.html"},
        TLinkCase{"BackslashInFilePath", F | S, "", "file:///C:/d/a.html", "C:\\d\\a.html"},
        TLinkCase{"BackslashShare", F | S, "", "file://server/share/a", "\\\\server\\share\\a"},
        TLinkCase{"BackslashStopsAtQueryAndFragment", F | S, "", "file:///C:/a.html?x=1/2#p/q",
                  "C:\\a.html?x=1/2#p/q"},
        TLinkCase{"BackslashDrivePath", S, "", "C:/d/a.png", "C:\\d\\a.png"},
        TLinkCase{"BackslashLeavesRelativeWebPaths", S, "", "img/a.png", "img/a.png"},
        // Here "/" is the delimiter and "\\" a character of a file name.
        TLinkCase{"BackslashLeavesRootFileLink", S, "", "file:///tmp/x/pic.png",
                  "file:///tmp/x/pic.png"},
        TLinkCase{"BackslashLeavesRootPath", F | S, "", "file:///tmp/x/pic.png", "/tmp/x/pic.png"},
        TLinkCase{"BackslashLeavesLocalhostPath", F | S, "", "file://localhost/tmp/a", "/tmp/a"},
        TLinkCase{"BackslashLeavesBareRootPath", S, "", "/tmp/x/pic.png", "/tmp/x/pic.png"},
        TLinkCase{"BaseThenNoBackslashForRootBase", B | S, "file:///home/u/",
                  "file:///home/u/img/a.png", "img/a.png"},
        TLinkCase{"BaseFolder", B, "http://h/d/", "http://h/d/x.html", "x.html"},
        TLinkCase{"BaseSubfolder", B, "http://h/d/", "http://h/d/e/x.html", "e/x.html"},
        TLinkCase{"BaseDocumentsFolder", B, "http://h/d/page.html", "http://h/d/x.html", "x.html"},
        TLinkCase{"BaseDocumentFragment", B, "http://h/d/page.html", "http://h/d/page.html#top",
                  "#top"},
        TLinkCase{"BaseDocumentQuery", B, "http://h/d/page.html", "http://h/d/page.html?q=1",
                  "?q=1"},
        TLinkCase{"BaseDocumentItself", B, "http://h/d/page.html", "http://h/d/page.html",
                  "page.html"},
        TLinkCase{"BaseFolderItself", B, "http://h/d/", "http://h/d/", "./"},
        TLinkCase{"BaseHostOnly", B, "http://h", "http://h/a.html", "a.html"},
        TLinkCase{"BaseOtherFolder", B, "http://h/d/", "http://h/e/x.html", "http://h/e/x.html"},
        TLinkCase{"BaseSimilarFolder", B, "http://h/d", "http://h/dx/a", "dx/a"},
        TLinkCase{"BasePrefixIsNotAFolder", B, "http://h/d/", "http://h/dx/a", "http://h/dx/a"},
        TLinkCase{"BaseColonInFirstSegment", B, "http://h/d/", "http://h/d/c:x", "./c:x"},
        TLinkCase{"BaseWouldGiveARootPath", B, "http://h/d/", "http://h/d//x", "http://h/d//x"},
        TLinkCase{"NoBase", B, "", "http://h/a", "http://h/a"},
        TLinkCase{"AboutBlankFragment", B, "", "about:blank#top", "#top"},
        TLinkCase{"AboutBlankAlone", B, "", "about:blank", "about:blank"},
        TLinkCase{"AboutRelative", B, "", "about:x.html", "x.html"},
        TLinkCase{"AboutPage", B, "", "about:config", "about:config"},
        TLinkCase{"AboutOnlyUnderBase", F | S, "", "about:blank#top", "about:blank#top"},
        TLinkCase{"BaseThenBackslash", B | S, "file:///C:/d/", "file:///C:/d/img/a.png",
                  "img\\a.png"},
        TLinkCase{"AllOutsideTheBase", F | B | S, "http://h/", "file:///C:/x/a.png",
                  "C:\\x\\a.png"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(LinkAttributes, AddressesOnly) {
  for (const char* name :
       {"href", "src", "background", "action", "cite", "longdesc", "usemap", "lowsrc", "dynsrc"})
    EXPECT_TRUE(AttributeKindOf(QString::fromUtf8(name)).Link) << name;
  for (const char* name : {"title", "alt", "class", "style", "hreflang", "HREF"})
    EXPECT_FALSE(AttributeKindOf(QString::fromUtf8(name)).Link) << name;
}

} // namespace
