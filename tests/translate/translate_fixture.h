#pragma once

#include "settings/settings.h"
#include "test_http_server.h"
#include "translate/http_client.h"
#include "translate/translation_request.h"

#include "qt_test_printers.h"

#include <gtest/gtest.h>

// A client with the request headers set, and a local server that Params
// points the requests at. Params goes back to its defaults afterwards.
class TTranslationTest : public ::testing::Test {
protected:
  void SetUp() override {
    Params = TParams{};
    Params.Server = FServer.Url();
    SetRequestHeaders(FHttp);
  }
  void TearDown() override { Params = TParams{}; }

  TTranslationReply Reply(const QString& text, const QString& source = LanguageEnglish,
                          const QString& target = LanguageSimplifiedChinese) {
    return TranslateText(FHttp, text, source, target);
  }
  // The body, or after a failure its detail.
  QString Translate(const QString& text, const QString& source = LanguageEnglish,
                    const QString& target = LanguageSimplifiedChinese) {
    const TTranslationReply reply = Reply(text, source, target);
    return reply.Succeeded() ? reply.Text : reply.Detail;
  }

  TTestHttpServer FServer; // outlives the client
  THttpClient FHttp;
};

inline const QByteArray TestReply = R"({"sentences":[{"trans":"x"}]})";
