#include "translate/reply_parser.h"

#include <QByteArray>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace {

using TJson = nlohmann::json;

// The library's own tree builder with one change: a floating-point number is
// kept as the text the reply wrote, because a "trans" gives its JSON text and
// the tree would write the number back in a form of its own ("-1.5e3" as
// "-1500.0"). The walk below reads no number anywhere else, so the change
// shows only there.
class TReplyTreeBuilder : public nlohmann::detail::json_sax_dom_parser<TJson> {
public:
  explicit TReplyTreeBuilder(TJson& tree) : json_sax_dom_parser(tree, false) {}

  bool number_float(TJson::number_float_t, const TJson::string_t& written) {
    TJson::string_t text = written;
    return string(text);
  }
};

std::optional<std::string> JoinedTranslation(const TJson& reply) {
  if (!reply.is_object())
    return std::nullopt;
  const auto sentences = reply.find("sentences");
  if (sentences == reply.end() || !sentences->is_array())
    return std::nullopt;
  std::string text;
  for (const TJson& sentence : *sentences) {
    if (!sentence.is_object())
      return std::nullopt;
    const auto trans = sentence.find("trans");
    if (trans == sentence.end())
      return std::nullopt;
    if (trans->is_string())
      text += trans->get_ref<const std::string&>();
    else if (trans->is_boolean() || trans->is_number())
      text += trans->dump();
    else
      return std::nullopt;
  }
  return text;
}

} // namespace

TParsedTranslation ParseTranslation(const QString& replyText) {
  // The escaped CR LF pair is replaced in the raw reply, so the parse turns a
  // line break inside a sentence into the tag the target pane renders. The
  // pattern is ASCII, so replacing it in the UTF-8 form is the same thing.
  QByteArray utf8 = replyText.toUtf8();
  if (utf8.contains("\\r\\n"))
    utf8.replace("\\r\\n", "<br>");

  // Not strict: the parse ends with the first complete value and never looks
  // at what follows it. A member that occurs twice in one object keeps its
  // last value in the tree.
  TJson reply;
  TReplyTreeBuilder builder(reply);
  const bool parsed = TJson::sax_parse(utf8.constData(), utf8.constData() + utf8.size(), &builder,
                                       TJson::input_format_t::json, false);
  const std::optional<std::string> text =
      parsed ? JoinedTranslation(reply) : std::optional<std::string>();
  if (!text)
    return {QString(), ParseFailureMessage};
  return {QString::fromStdString(*text), QString()};
}
