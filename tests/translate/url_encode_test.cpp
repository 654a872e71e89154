#include "translate/url_encode.h"

#include "qt_test_printers.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

struct TEncodeCase {
  const char* Name;
  QByteArray Input;
  QByteArray Encoded;
};

void PrintTo(const TEncodeCase& c, std::ostream* os) {
  *os << c.Name;
}

class TUrlEncodeTest : public ::testing::TestWithParam<TEncodeCase> {};

TEST_P(TUrlEncodeTest, EncodesByteExactly) {
  EXPECT_EQ(UrlEncode(GetParam().Input), GetParam().Encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TUrlEncodeTest,
    ::testing::Values(
        TEncodeCase{"SpaceAmpersandEquals", "a b&c=d", "a+b%26c%3Dd"},
        TEncodeCase{"TildeEncodedStarKept", "~*", "%7E*"}, TEncodeCase{"CrLf", "\r\n", "%0D%0A"},
        TEncodeCase{"ChineseAndPunctuation", "Hi, \xE4\xB8\xAD\xE6\x96\x87!",
                    "Hi%2C+%E4%B8%AD%E6%96%87!"},
        TEncodeCase{"Empty", "", ""},
        TEncodeCase{"KeptSet", "ABCXYZabcxyz0123456789!$'()*-.@_",
                    "ABCXYZabcxyz0123456789!$'()*-.@_"},
        TEncodeCase{"ReservedAndOtherPunctuation", "#%&+,/:;<=>?[\\]^{|}~\"`",
                    "%23%25%26%2B%2C%2F%3A%3B%3C%3D%3E%3F%5B%5C%5D%5E%7B%7C%7D%7E%22%60"},
        TEncodeCase{"ControlBytesAndDelete", QByteArray("\x00\x01\x1F\x7F", 4), "%00%01%1F%7F"},
        TEncodeCase{"HighBytesUpperCaseHex", "\x80\xAB\xFF", "%80%AB%FF"},
        // Long enough to take the wide path, with every kind of block.
        TEncodeCase{"LongMixed",
                    "The quick brown fox, \xE4\xB8\xAD\xE6\x96\x87 jumps over the lazy "
                    "dog!~ 0123456789abcdefABCDEF",
                    "The+quick+brown+fox%2C+%E4%B8%AD%E6%96%87+jumps+over+the+lazy+"
                    "dog!%7E+0123456789abcdefABCDEF"}),
    [](const ::testing::TestParamInfo<TEncodeCase>& row) { return std::string(row.param.Name); });

// The rule written out once more, byte by byte, as the reference for inputs
// of every length and alignment.
QByteArray Reference(const QByteArray& in) {
  static const QByteArray kept = "!$'()*-.@_";
  QByteArray out;
  for (const char ch : in) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
        kept.contains(ch))
      out += ch;
    else if (c == ' ')
      out += '+';
    else
      out += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
  }
  return out;
}

TEST(UrlEncode, EveryByteAtEveryPositionMatchesTheRule) {
  // Each of the 256 bytes at every offset (the wide blocks and the tail after
  // them), inside runs of kept, spaced and escaped neighbours.
  for (const char filler : {'a', ' ', '\xE4'}) {
    for (int b = 0; b < 256; ++b) {
      for (int offset = 0; offset < 40; ++offset) {
        QByteArray input(40, filler);
        input[offset] = static_cast<char>(b);
        ASSERT_EQ(UrlEncode(input), Reference(input)) << "byte " << b << " at " << offset;
      }
    }
  }
}

TEST(UrlEncode, AllBytesInOneInputOfEveryLength) {
  QByteArray all;
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  for (qsizetype length = 0; length <= all.size(); ++length) {
    const QByteArray input = all.left(length);
    const QByteArray encoded = UrlEncode(input);
    ASSERT_EQ(encoded, Reference(input)) << "length " << length;
    ASSERT_LE(encoded.size(), 3 * length);
  }
}

} // namespace
