#include "ui/pane/engine/text_mirror.h"

#include <gtest/gtest.h>

namespace {

TEST(TextMirror, ReplacementsAnywhereKeepTheText) {
  TTextMirror mirror;
  QString expected = QStringLiteral("abcdefghij");
  mirror.Reset(expected);
  const struct {
    qsizetype Position, Length;
    const char16_t* Text;
  } edits[] = {
      {8, 2, u"XY"}, {0, 3, u""}, {2, 0, u"long insertion that grows the gap"}, {5, 20, u"z"}};
  for (const auto& edit : edits) {
    mirror.Replace(edit.Position, edit.Length, edit.Text);
    expected.replace(edit.Position, edit.Length, QString::fromUtf16(edit.Text));
    ASSERT_EQ(mirror.Mid(0, mirror.Length()), expected);
  }
  EXPECT_EQ(mirror.At(expected.size()), QChar());
}

TEST(TextMirror, FindsFromAnyPositionAfterEdits) {
  TTextMirror mirror;
  mirror.Reset(QStringLiteral("one two one two one"));
  EXPECT_EQ(mirror.Find(u"one", 0, false, Qt::CaseSensitive), 0);
  EXPECT_EQ(mirror.Find(u"one", 1, false, Qt::CaseSensitive), 8);
  mirror.Replace(8, 3, u"1");
  EXPECT_EQ(mirror.Find(u"one", 1, false, Qt::CaseSensitive), 14);
  // The gap sits after position 14 now; a search behind it still works.
  EXPECT_EQ(mirror.Find(u"two", 0, false, Qt::CaseSensitive), 4);
  EXPECT_EQ(mirror.Find(u"ONE", 0, false, Qt::CaseInsensitive), 0);
  EXPECT_EQ(mirror.Find(u"ONE", 0, false, Qt::CaseSensitive), -1);
  EXPECT_EQ(mirror.Find(u"", 0, false, Qt::CaseSensitive), -1);
  EXPECT_EQ(mirror.Find(u"one", 99, false, Qt::CaseSensitive), -1);
}

TEST(TextMirror, WholeWordsAreLettersDigitsAndUnderscore) {
  TTextMirror mirror;
  mirror.Reset(QStringLiteral("cat_s cats cat9 (cat) cat-x \u00E9cat"));
  EXPECT_EQ(mirror.Find(u"cat", 0, true, Qt::CaseSensitive), 17);
  EXPECT_EQ(mirror.Find(u"cat", 18, true, Qt::CaseSensitive), 22);
  EXPECT_EQ(mirror.Find(u"cat", 23, true, Qt::CaseSensitive), -1);
  // A needle that starts or ends with a non-word character needs no boundary there.
  EXPECT_EQ(mirror.Find(u"(cat", 0, true, Qt::CaseSensitive), 16);
}

} // namespace
