#include "translate/url_encode.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TV_URL_ENCODE_SIMD 1
#endif

namespace {

constexpr char Hex[] = "0123456789ABCDEF";

constexpr bool KeptUnchanged(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
    return true;
  for (const char k : {'!', '$', '\'', '(', ')', '*', '-', '.', '@', '_'})
    if (c == static_cast<unsigned char>(k))
      return true;
  return false;
}

// Every byte's encoding padded to four bytes, so the scalar loop stores one
// fixed-size word per input byte and only the advance depends on the byte.
struct TEncoding {
  std::array<char, 4> Bytes{};
  unsigned char Length = 0;
};

constexpr std::array<TEncoding, 256> MakeTable() {
  std::array<TEncoding, 256> table{};
  for (int i = 0; i < 256; ++i) {
    const auto c = static_cast<unsigned char>(i);
    TEncoding& e = table[static_cast<std::size_t>(i)];
    if (KeptUnchanged(c)) {
      e.Bytes[0] = static_cast<char>(c);
      e.Length = 1;
    } else if (c == ' ') {
      e.Bytes[0] = '+';
      e.Length = 1;
    } else {
      e.Bytes[0] = '%';
      e.Bytes[1] = Hex[c >> 4];
      e.Bytes[2] = Hex[c & 0x0F];
      e.Length = 3;
    }
  }
  return table;
}

constexpr std::array<TEncoding, 256> Table = MakeTable();

char* EncodeScalar(const unsigned char* in, const unsigned char* end, char* o) {
  for (; in != end; ++in) {
    const TEncoding& e = Table[*in];
    std::memcpy(o, e.Bytes.data(), 4);
    o += e.Length;
  }
  return o;
}

#ifdef TV_URL_ENCODE_SIMD

// Sixteen bytes at a time. A byte is classified with two nibble lookups: the
// low-nibble table holds, per low nibble, one bit for each high nibble 0..7
// that makes a kept byte; bytes from 0x80 up look up zero. Each group of four
// input bytes is then laid out as [four plain bytes, four high digits, four
// low digits, '%'] and one shuffle, chosen by which of the four need escaping,
// writes its 4 to 12 output bytes.
struct TSimdTables {
  alignas(16) std::array<std::uint8_t, 16> KeepByLow{};
  alignas(16) std::array<std::uint8_t, 16> HighBit{};
  alignas(16) std::array<std::uint8_t, 16> HexDigits{};
  alignas(16) std::array<std::array<std::uint8_t, 16>, 16> GroupShuffle{};
  std::array<std::uint8_t, 16> GroupLength{};
};

constexpr TSimdTables MakeSimdTables() {
  TSimdTables t{};
  for (int high = 0; high < 8; ++high) {
    t.HighBit[static_cast<std::size_t>(high)] = static_cast<std::uint8_t>(1u << high);
    for (int low = 0; low < 16; ++low)
      if (KeptUnchanged(static_cast<unsigned char>(high << 4 | low)))
        t.KeepByLow[static_cast<std::size_t>(low)] |= static_cast<std::uint8_t>(1u << high);
  }
  for (std::size_t i = 0; i < 16; ++i)
    t.HexDigits[i] = static_cast<std::uint8_t>(Hex[i]);
  for (std::size_t mask = 0; mask < 16; ++mask) {
    std::array<std::uint8_t, 16>& shuffle = t.GroupShuffle[mask];
    shuffle.fill(0x80);
    std::size_t n = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      if (mask & (1u << i)) {
        shuffle[n++] = 12; // '%'
        shuffle[n++] = static_cast<std::uint8_t>(4 + i);
        shuffle[n++] = static_cast<std::uint8_t>(8 + i);
      } else {
        shuffle[n++] = static_cast<std::uint8_t>(i);
      }
    }
    t.GroupLength[mask] = static_cast<std::uint8_t>(n);
  }
  return t;
}

constexpr TSimdTables Simd = MakeSimdTables();

__attribute__((target("ssse3"))) inline __m128i Load(const std::array<std::uint8_t, 16>& a) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(a.data()));
}

__attribute__((target("ssse3"))) inline char* StoreGroup(char* o, __m128i source, unsigned mask) {
  const __m128i out = _mm_shuffle_epi8(source, Load(Simd.GroupShuffle[mask]));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(o), out);
  return o + Simd.GroupLength[mask];
}

// Needs 16 bytes of slack after the largest possible output.
__attribute__((target("ssse3"))) char* EncodeSsse3(const unsigned char* in,
                                                   const unsigned char* end, char* o) {
  const __m128i keepByLow = Load(Simd.KeepByLow);
  const __m128i highBit = Load(Simd.HighBit);
  const __m128i hexDigits = Load(Simd.HexDigits);
  const __m128i nibble = _mm_set1_epi8(0x0F);
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i spaceToPlus = _mm_set1_epi8('+' - ' ');
  const __m128i percent = _mm_set1_epi8('%');
  const __m128i zero = _mm_setzero_si128();
  for (; end - in >= 16; in += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i high = _mm_and_si128(_mm_srli_epi16(v, 4), nibble);
    const __m128i kept =
        _mm_and_si128(_mm_shuffle_epi8(keepByLow, v), _mm_shuffle_epi8(highBit, high));
    const __m128i isSpace = _mm_cmpeq_epi8(v, space);
    const __m128i escape = _mm_andnot_si128(isSpace, _mm_cmpeq_epi8(kept, zero));
    const __m128i plain = _mm_add_epi8(v, _mm_and_si128(isSpace, spaceToPlus));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(escape));
    if (mask == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), plain);
      o += 16;
      continue;
    }
    const __m128i highDigit = _mm_shuffle_epi8(hexDigits, high);
    const __m128i lowDigit = _mm_shuffle_epi8(hexDigits, _mm_and_si128(v, nibble));
    const __m128i plainHighLo = _mm_unpacklo_epi32(plain, highDigit);
    const __m128i plainHighHi = _mm_unpackhi_epi32(plain, highDigit);
    const __m128i lowPercentLo = _mm_unpacklo_epi32(lowDigit, percent);
    const __m128i lowPercentHi = _mm_unpackhi_epi32(lowDigit, percent);
    o = StoreGroup(o, _mm_unpacklo_epi64(plainHighLo, lowPercentLo), mask & 0xF);
    o = StoreGroup(o, _mm_unpackhi_epi64(plainHighLo, lowPercentLo), (mask >> 4) & 0xF);
    o = StoreGroup(o, _mm_unpacklo_epi64(plainHighHi, lowPercentHi), (mask >> 8) & 0xF);
    o = StoreGroup(o, _mm_unpackhi_epi64(plainHighHi, lowPercentHi), mask >> 12);
  }
  return EncodeScalar(in, end, o);
}

bool HasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}

#endif

} // namespace

QByteArray UrlEncode(const QByteArray& bytes) {
  const qsizetype n = bytes.size();
  if (n == 0)
    return {};
  // Room for the worst case plus the slack of the wide stores; shrinking the
  // size afterwards keeps the one allocation.
  QByteArray out(n * 3 + 16, Qt::Uninitialized);
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
  char* o = out.data();
#ifdef TV_URL_ENCODE_SIMD
  o = HasSsse3() ? EncodeSsse3(in, in + n, o) : EncodeScalar(in, in + n, o);
#else
  o = EncodeScalar(in, in + n, o);
#endif
  out.truncate(o - out.constData());
  return out;
}
