// Each measured operation runs beside a baseline doing the plainest version of
// the same work on the same input, and the closing summary prints their
// ratio: the figure that means something on a shared, noisy machine.
#include "ratio_reporter.h"
#include "settings/settings.h"
#include "test_http_server.h"
#include "translate/http_client.h"
#include "translate/reply_parser.h"
#include "translate/translation_request.h"
#include "translate/url_encode.h"

#include <QString>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <curl/curl.h>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>

namespace {

const QString MixedUnit =
    QStringLiteral(u"The quick brown fox \u654f\u6377\u7684\u68d5\u8272\u72d0\u72f8 jumps over "
                   u"the lazy dog. \u8df3\u8fc7\u4e86\u61d2\u72d7\u3002 ");

QByteArray MixedUtf8(qsizetype bytes) {
  const QByteArray unit = MixedUnit.toUtf8();
  QByteArray text;
  text.reserve(bytes + unit.size());
  while (text.size() < bytes)
    text += unit;
  text.truncate(bytes);
  return text;
}

// --- percent-encoding ------------------------------------------------------

const QByteArray& EncodeInput() {
  static const QByteArray input = MixedUtf8(1 << 20);
  return input;
}

void UrlEncode_1MiB(benchmark::State& state) {
  const QByteArray& input = EncodeInput();
  for (auto _ : state) {
    QByteArray encoded = UrlEncode(input);
    benchmark::DoNotOptimize(encoded.data());
  }
  state.SetBytesProcessed(state.iterations() * input.size());
}

// The plainest encoder: one byte at a time, as UrlEncode's header describes
// it. The vector version is worth its length only while it stays well ahead
// of this.
QByteArray EncodeByteLoop(const QByteArray& bytes) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  static constexpr std::array<bool, 256> Kept = [] {
    std::array<bool, 256> kept{};
    for (int c = 0; c < 256; ++c)
      kept[static_cast<std::size_t>(c)] =
          (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    for (const char c : std::string_view("!$'()*-._@"))
      kept[static_cast<unsigned char>(c)] = true;
    return kept;
  }();
  QByteArray out(bytes.size() * 3, Qt::Uninitialized);
  char* o = out.data();
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (Kept[c]) {
      *o++ = ch;
    } else if (c == ' ') {
      *o++ = '+';
    } else {
      *o++ = '%';
      *o++ = Hex[c >> 4];
      *o++ = Hex[c & 0x0F];
    }
  }
  out.truncate(o - out.constData());
  return out;
}

void EncodeByteLoop_1MiB(benchmark::State& state) {
  const QByteArray& input = EncodeInput();
  if (EncodeByteLoop(input) != UrlEncode(input))
    state.SkipWithError("the byte loop encodes differently");
  for (auto _ : state) {
    QByteArray encoded = EncodeByteLoop(input);
    benchmark::DoNotOptimize(encoded.data());
  }
  state.SetBytesProcessed(state.iterations() * input.size());
}

void ByteCopy_1MiB(benchmark::State& state) {
  const QByteArray& input = EncodeInput();
  for (auto _ : state) {
    QByteArray copy(input.constData(), input.size());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(state.iterations() * input.size());
}

// --- reply parsing ---------------------------------------------------------

// A reply shaped like the service's: 10,000 sentences, each with an escaped
// line break and the members the parser skips, 1 MiB in all.
const QString& Reply() {
  static const QString reply = [] {
    const std::string trans = MixedUnit.left(38).toStdString();
    std::string json = R"({"sentences":[)";
    for (int i = 0; i < 10000; ++i) {
      if (i)
        json += ',';
      json += R"({"trans":")" + trans + R"(\r\n","orig":"Sentence )" + std::to_string(i) +
              R"(.","backend":3})";
    }
    json += R"(],"src":"en","confidence":0.97,"spell":{}})";
    return QString::fromStdString(json);
  }();
  return reply;
}

void ParseTranslation_10000Sentences(benchmark::State& state) {
  const QString& reply = Reply();
  for (auto _ : state) {
    TParsedTranslation parsed = ParseTranslation(reply);
    benchmark::DoNotOptimize(parsed.Text.data());
  }
  state.counters["reply_bytes"] = static_cast<double>(reply.toUtf8().size());
}

void JsonDom_10000Sentences(benchmark::State& state) {
  const std::string reply = Reply().toStdString();
  for (auto _ : state) {
    nlohmann::json dom = nlohmann::json::parse(reply);
    benchmark::DoNotOptimize(dom.size());
  }
}

// --- a whole exchange with the local test server ---------------------------

struct TExchange {
  TTestHttpServer Server;
  QString Text;
  QByteArray Url;
  TExchange() {
    Server.SetResponse(TTestResponse::Ok(R"({"sentences":[{"trans":"x"}]})"));
    Text = QString::fromUtf8(MixedUtf8(10 * 1024));
    Params.Server = Server.Url();
    Url = TranslationUrl(Server.Url().toUtf8(), Text, LanguageEnglish, LanguageSimplifiedChinese);
  }
};

TExchange& Exchange() {
  static TExchange exchange;
  return exchange;
}

void TranslateText_10KiB(benchmark::State& state) {
  TExchange& exchange = Exchange();
  THttpClient http;
  SetRequestHeaders(http);
  for (auto _ : state) {
    QString reply =
        TranslateText(http, exchange.Text, LanguageEnglish, LanguageSimplifiedChinese).Text;
    benchmark::DoNotOptimize(reply.data());
  }
}

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* sink) {
  static_cast<std::string*>(sink)->append(data, size * count);
  return size * count;
}

void RawCurlGet_10KiB(benchmark::State& state) {
  TExchange& exchange = Exchange();
  struct TCleanup {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
  };
  const std::unique_ptr<CURL, TCleanup> curl(curl_easy_init());
  std::string body;
  curl_easy_setopt(curl.get(), CURLOPT_URL, exchange.Url.constData());
  curl_easy_setopt(curl.get(), CURLOPT_PROXY, "");
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &Collect);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
  for (auto _ : state) {
    body.clear();
    if (curl_easy_perform(curl.get()) != CURLE_OK)
      state.SkipWithError("raw GET failed");
    benchmark::DoNotOptimize(body.data());
  }
}

BENCHMARK(UrlEncode_1MiB);
BENCHMARK(EncodeByteLoop_1MiB);
BENCHMARK(ByteCopy_1MiB);
BENCHMARK(ParseTranslation_10000Sentences)->Unit(benchmark::kMillisecond);
BENCHMARK(JsonDom_10000Sentences)->Unit(benchmark::kMillisecond);
BENCHMARK(TranslateText_10KiB)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawCurlGet_10KiB)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios against the baseline of the same run:\n");
  reporter.PrintRatio("UrlEncode / byte copy (1 MiB)", reporter.CpuTime("UrlEncode_1MiB"),
                      reporter.CpuTime("ByteCopy_1MiB"), 4.0);
  reporter.PrintRatio("UrlEncode / plain byte loop (1 MiB)", reporter.CpuTime("UrlEncode_1MiB"),
                      reporter.CpuTime("EncodeByteLoop_1MiB"), 0.5);
  reporter.PrintRatio("ParseTranslation / JSON DOM (10,000 sentences)",
                      reporter.CpuTime("ParseTranslation_10000Sentences"),
                      reporter.CpuTime("JsonDom_10000Sentences"), 1.5);
  reporter.PrintRatio("TranslateText / raw libcurl GET (10 KiB)",
                      reporter.WallTime("TranslateText_10KiB"),
                      reporter.WallTime("RawCurlGet_10KiB"), 1.2);
  benchmark::Shutdown();
  return 0;
}
