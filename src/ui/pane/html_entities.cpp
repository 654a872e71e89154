#include "ui/pane/html_entities.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace {

using namespace std::literals;

struct TEntity {
  char16_t Code;
  std::u16string_view Name;
};

// Sorted by code. "lang" and "rang" are left out on purpose: HTML 4 gave them
// U+2329/U+232A, today's parsers read them as U+27E8/U+27E9, so writing them
// would change the text on the next read.
constexpr TEntity Entities[] = {
    {34, u"quot"sv},     {38, u"amp"sv},       {60, u"lt"sv},       {62, u"gt"sv},
    {160, u"nbsp"sv},    {161, u"iexcl"sv},    {162, u"cent"sv},    {163, u"pound"sv},
    {164, u"curren"sv},  {165, u"yen"sv},      {166, u"brvbar"sv},  {167, u"sect"sv},
    {168, u"uml"sv},     {169, u"copy"sv},     {170, u"ordf"sv},    {171, u"laquo"sv},
    {172, u"not"sv},     {173, u"shy"sv},      {174, u"reg"sv},     {175, u"macr"sv},
    {176, u"deg"sv},     {177, u"plusmn"sv},   {178, u"sup2"sv},    {179, u"sup3"sv},
    {180, u"acute"sv},   {181, u"micro"sv},    {182, u"para"sv},    {183, u"middot"sv},
    {184, u"cedil"sv},   {185, u"sup1"sv},     {186, u"ordm"sv},    {187, u"raquo"sv},
    {188, u"frac14"sv},  {189, u"frac12"sv},   {190, u"frac34"sv},  {191, u"iquest"sv},
    {192, u"Agrave"sv},  {193, u"Aacute"sv},   {194, u"Acirc"sv},   {195, u"Atilde"sv},
    {196, u"Auml"sv},    {197, u"Aring"sv},    {198, u"AElig"sv},   {199, u"Ccedil"sv},
    {200, u"Egrave"sv},  {201, u"Eacute"sv},   {202, u"Ecirc"sv},   {203, u"Euml"sv},
    {204, u"Igrave"sv},  {205, u"Iacute"sv},   {206, u"Icirc"sv},   {207, u"Iuml"sv},
    {208, u"ETH"sv},     {209, u"Ntilde"sv},   {210, u"Ograve"sv},  {211, u"Oacute"sv},
    {212, u"Ocirc"sv},   {213, u"Otilde"sv},   {214, u"Ouml"sv},    {215, u"times"sv},
    {216, u"Oslash"sv},  {217, u"Ugrave"sv},   {218, u"Uacute"sv},  {219, u"Ucirc"sv},
    {220, u"Uuml"sv},    {221, u"Yacute"sv},   {222, u"THORN"sv},   {223, u"szlig"sv},
    {224, u"agrave"sv},  {225, u"aacute"sv},   {226, u"acirc"sv},   {227, u"atilde"sv},
    {228, u"auml"sv},    {229, u"aring"sv},    {230, u"aelig"sv},   {231, u"ccedil"sv},
    {232, u"egrave"sv},  {233, u"eacute"sv},   {234, u"ecirc"sv},   {235, u"euml"sv},
    {236, u"igrave"sv},  {237, u"iacute"sv},   {238, u"icirc"sv},   {239, u"iuml"sv},
    {240, u"eth"sv},     {241, u"ntilde"sv},   {242, u"ograve"sv},  {243, u"oacute"sv},
    {244, u"ocirc"sv},   {245, u"otilde"sv},   {246, u"ouml"sv},    {247, u"divide"sv},
    {248, u"oslash"sv},  {249, u"ugrave"sv},   {250, u"uacute"sv},  {251, u"ucirc"sv},
    {252, u"uuml"sv},    {253, u"yacute"sv},   {254, u"thorn"sv},   {255, u"yuml"sv},
    {338, u"OElig"sv},   {339, u"oelig"sv},    {352, u"Scaron"sv},  {353, u"scaron"sv},
    {376, u"Yuml"sv},    {402, u"fnof"sv},     {710, u"circ"sv},    {732, u"tilde"sv},
    {913, u"Alpha"sv},   {914, u"Beta"sv},     {915, u"Gamma"sv},   {916, u"Delta"sv},
    {917, u"Epsilon"sv}, {918, u"Zeta"sv},     {919, u"Eta"sv},     {920, u"Theta"sv},
    {921, u"Iota"sv},    {922, u"Kappa"sv},    {923, u"Lambda"sv},  {924, u"Mu"sv},
    {925, u"Nu"sv},      {926, u"Xi"sv},       {927, u"Omicron"sv}, {928, u"Pi"sv},
    {929, u"Rho"sv},     {931, u"Sigma"sv},    {932, u"Tau"sv},     {933, u"Upsilon"sv},
    {934, u"Phi"sv},     {935, u"Chi"sv},      {936, u"Psi"sv},     {937, u"Omega"sv},
    {945, u"alpha"sv},   {946, u"beta"sv},     {947, u"gamma"sv},   {948, u"delta"sv},
    {949, u"epsilon"sv}, {950, u"zeta"sv},     {951, u"eta"sv},     {952, u"theta"sv},
    {953, u"iota"sv},    {954, u"kappa"sv},    {955, u"lambda"sv},  {956, u"mu"sv},
    {957, u"nu"sv},      {958, u"xi"sv},       {959, u"omicron"sv}, {960, u"pi"sv},
    {961, u"rho"sv},     {962, u"sigmaf"sv},   {963, u"sigma"sv},   {964, u"tau"sv},
    {965, u"upsilon"sv}, {966, u"phi"sv},      {967, u"chi"sv},     {968, u"psi"sv},
    {969, u"omega"sv},   {977, u"thetasym"sv}, {978, u"upsih"sv},   {982, u"piv"sv},
    {8194, u"ensp"sv},   {8195, u"emsp"sv},    {8201, u"thinsp"sv}, {8204, u"zwnj"sv},
    {8205, u"zwj"sv},    {8206, u"lrm"sv},     {8207, u"rlm"sv},    {8211, u"ndash"sv},
    {8212, u"mdash"sv},  {8216, u"lsquo"sv},   {8217, u"rsquo"sv},  {8218, u"sbquo"sv},
    {8220, u"ldquo"sv},  {8221, u"rdquo"sv},   {8222, u"bdquo"sv},  {8224, u"dagger"sv},
    {8225, u"Dagger"sv}, {8226, u"bull"sv},    {8230, u"hellip"sv}, {8240, u"permil"sv},
    {8242, u"prime"sv},  {8243, u"Prime"sv},   {8249, u"lsaquo"sv}, {8250, u"rsaquo"sv},
    {8254, u"oline"sv},  {8260, u"frasl"sv},   {8364, u"euro"sv},   {8465, u"image"sv},
    {8472, u"weierp"sv}, {8476, u"real"sv},    {8482, u"trade"sv},  {8501, u"alefsym"sv},
    {8592, u"larr"sv},   {8593, u"uarr"sv},    {8594, u"rarr"sv},   {8595, u"darr"sv},
    {8596, u"harr"sv},   {8629, u"crarr"sv},   {8656, u"lArr"sv},   {8657, u"uArr"sv},
    {8658, u"rArr"sv},   {8659, u"dArr"sv},    {8660, u"hArr"sv},   {8704, u"forall"sv},
    {8706, u"part"sv},   {8707, u"exist"sv},   {8709, u"empty"sv},  {8711, u"nabla"sv},
    {8712, u"isin"sv},   {8713, u"notin"sv},   {8715, u"ni"sv},     {8719, u"prod"sv},
    {8721, u"sum"sv},    {8722, u"minus"sv},   {8727, u"lowast"sv}, {8730, u"radic"sv},
    {8733, u"prop"sv},   {8734, u"infin"sv},   {8736, u"ang"sv},    {8743, u"and"sv},
    {8744, u"or"sv},     {8745, u"cap"sv},     {8746, u"cup"sv},    {8747, u"int"sv},
    {8756, u"there4"sv}, {8764, u"sim"sv},     {8773, u"cong"sv},   {8776, u"asymp"sv},
    {8800, u"ne"sv},     {8801, u"equiv"sv},   {8804, u"le"sv},     {8805, u"ge"sv},
    {8834, u"sub"sv},    {8835, u"sup"sv},     {8836, u"nsub"sv},   {8838, u"sube"sv},
    {8839, u"supe"sv},   {8853, u"oplus"sv},   {8855, u"otimes"sv}, {8869, u"perp"sv},
    {8901, u"sdot"sv},   {8968, u"lceil"sv},   {8969, u"rceil"sv},  {8970, u"lfloor"sv},
    {8971, u"rfloor"sv}, {9674, u"loz"sv},     {9824, u"spades"sv}, {9827, u"clubs"sv},
    {9829, u"hearts"sv}, {9830, u"diams"sv},
};

// Bare names beyond the lower-case table entries below U+0100.
constexpr std::array<std::u16string_view, 6> UpperCaseBareNames = {u"AMP", u"COPY", u"GT",
                                                                   u"LT",  u"QUOT", u"REG"};

} // namespace

QStringView EntityNameFor(char16_t ch) {
  // Most text past the table's end (CJK, for one) is turned away at once.
  if (ch > std::end(Entities)[-1].Code)
    return {};
  const auto* it = std::lower_bound(std::begin(Entities), std::end(Entities), ch,
                                    [](const TEntity& e, char16_t c) { return e.Code < c; });
  if (it == std::end(Entities) || it->Code != ch)
    return {};
  return it->Name;
}

bool IsBareEntityName(QStringView name) {
  for (const TEntity& e : Entities) {
    if (e.Code > 0xFF)
      break;
    if (name == e.Name)
      return true;
  }
  return std::any_of(UpperCaseBareNames.begin(), UpperCaseBareNames.end(),
                     [name](std::u16string_view n) { return name == n; });
}
