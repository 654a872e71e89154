// ParseTranslation on arbitrary replies. Beside "never crashes", it checks
// the result against a tree built by the JSON library wherever the reply is
// exactly one JSON value: same success, same joined text.
#include "translate/reply_parser.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace {

void Check(bool condition) {
  if (!condition)
    std::abort();
}

// The translation the rules give for a parsed tree; nothing for a failure.
// Floating-point numbers are written back differently from how the reply
// spelled them, so a tree holding one as "trans" is not compared.
std::optional<std::string> Expected(const nlohmann::json& reply, bool* comparable) {
  *comparable = true;
  if (!reply.is_object() || !reply.contains("sentences") || !reply["sentences"].is_array())
    return std::nullopt;
  std::string text;
  for (const nlohmann::json& element : reply["sentences"]) {
    if (!element.is_object() || !element.contains("trans"))
      return std::nullopt;
    const nlohmann::json& trans = element["trans"];
    if (trans.is_string())
      text += trans.get<std::string>();
    else if (trans.is_boolean() || trans.is_number_integer() || trans.is_number_unsigned())
      text += trans.dump();
    else if (trans.is_number_float())
      *comparable = false;
    else
      return std::nullopt;
  }
  return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString reply =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const TParsedTranslation parsed = ParseTranslation(reply);
  Check(parsed.Error.isEmpty() || parsed.Error == ParseFailureMessage);
  Check(parsed.Error.isEmpty() || parsed.Text.isEmpty());

  QByteArray utf8 = reply.toUtf8();
  utf8.replace("\\r\\n", "<br>");
  const nlohmann::json tree =
      nlohmann::json::parse(utf8.constData(), utf8.constData() + utf8.size(), nullptr, false);
  if (tree.is_discarded())
    return 0; // not exactly one value: trailing text or no JSON at all
  bool comparable = true;
  const std::optional<std::string> expected = Expected(tree, &comparable);
  Check(expected.has_value() == parsed.Error.isEmpty());
  if (expected && comparable)
    Check(parsed.Text == QString::fromStdString(*expected));
  return 0;
}
