#include "reply_parser.h"

#include <QByteArray>
#include <nlohmann/json.hpp>
#include <string>

namespace {

using TJson = nlohmann::json;

// Collects the "trans" pieces while the parser walks the reply, without
// building a tree of it. It keeps a tree's meaning: a member that occurs twice
// in one object counts with its last value.
class TReplySax {
public:
  bool Succeeded() const { return FSentencesSeen && FSentencesOk; }
  std::string& Text() { return FText; }

  bool null() { return Scalar(TKind::Absent, {}); }
  bool boolean(bool value) { return Scalar(TKind::Text, value ? "true" : "false"); }
  bool number_integer(TJson::number_integer_t value) {
    return Scalar(TKind::Text, std::to_string(value));
  }
  bool number_unsigned(TJson::number_unsigned_t value) {
    return Scalar(TKind::Text, std::to_string(value));
  }
  bool number_float(TJson::number_float_t, const TJson::string_t& written) {
    return Scalar(TKind::Text, written);
  }
  bool string(TJson::string_t& value) { return Scalar(TKind::Text, value); }
  bool binary(TJson::binary_t&) { return false; }

  bool start_object(std::size_t) { return Open(true); }
  bool start_array(std::size_t) { return Open(false); }
  bool end_object() {
    if (FDepth == 3 && FInSentences && !FElementHasTrans)
      FSentencesOk = false;
    --FDepth;
    return true;
  }
  bool end_array() {
    if (FDepth == 2 && FInSentences)
      FInSentences = false;
    --FDepth;
    return true;
  }

  bool key(TJson::string_t& name) {
    if (FDepth == 1 && name == "sentences")
      FNext = TSlot::Sentences;
    else if (FDepth == 3 && FInSentences && name == "trans")
      FNext = TSlot::Trans;
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    return false;
  }

private:
  enum class TKind { Text, Absent };
  enum class TSlot { None, Sentences, Trans }; // what the value being read is

  bool Open(bool isObject) {
    if (FDepth == 0 && !isObject)
      return false; // only an object can hold "sentences"; stop reading at once
    if (FNext == TSlot::Sentences) {
      StartSentences(!isObject);
      if (!isObject)
        FInSentences = true;
    } else if (FNext == TSlot::Trans) {
      TransValue(false, {});
    } else if (FDepth == 2 && FInSentences) {
      if (isObject) {
        FElementStart = FText.size();
        FElementHasTrans = false;
      } else {
        FSentencesOk = false;
      }
    }
    FNext = TSlot::None;
    ++FDepth;
    return true;
  }

  bool Scalar(TKind kind, const std::string& text) {
    if (FDepth == 0)
      return false;
    if (FNext == TSlot::Sentences)
      StartSentences(false);
    else if (FNext == TSlot::Trans)
      TransValue(kind == TKind::Text, text);
    else if (FDepth == 2 && FInSentences)
      FSentencesOk = false; // an element that is not an object
    FNext = TSlot::None;
    return true;
  }

  void StartSentences(bool isArray) {
    FSentencesSeen = true;
    FSentencesOk = isArray;
    FText.clear();
  }

  void TransValue(bool hasText, const std::string& text) {
    // A repeated "trans" replaces the piece of its element.
    FText.resize(FElementStart);
    FElementHasTrans = hasText;
    if (hasText && FSentencesOk)
      FText += text;
  }

  int FDepth = 0; // containers open around the current event
  TSlot FNext = TSlot::None;
  bool FInSentences = false; // the container open at depth 2 is "sentences"
  bool FSentencesSeen = false;
  bool FSentencesOk = false;
  bool FElementHasTrans = false;
  std::size_t FElementStart = 0; // where the current element's piece begins in FText
  std::string FText;
};

} // namespace

TParsedTranslation ParseTranslation(const QString& replyText) {
  // The escaped CR LF pair is replaced in the raw reply, so the parse turns a
  // line break inside a sentence into the tag the target pane renders. The
  // pattern is ASCII, so replacing it in the UTF-8 form is the same thing.
  QByteArray utf8 = replyText.toUtf8();
  if (utf8.contains("\\r\\n"))
    utf8.replace("\\r\\n", "<br>");

  TReplySax sax;
  // Not strict: the parse ends with the first complete value and never looks
  // at what follows it.
  const bool parsed = TJson::sax_parse(utf8.constData(), utf8.constData() + utf8.size(), &sax,
                                       TJson::input_format_t::json, false);
  if (!parsed || !sax.Succeeded())
    return {QString(), ParseFailureMessage};
  return {QString::fromStdString(sax.Text()), QString()};
}
