#include "translate_fixture.h"

#include "core/product_info.h"
#include "local_socket_loop.h"
#include "translate/url_encode.h"

#include <chrono>
#include <ostream>
#include <thread>

using namespace std::chrono_literals;

namespace {

const QByteArray UserAgent = "Mozilla/5.0 (Windows; U; Windows NT 6.1; en-US) AppleWebKit/534.13 "
                             "(KHTML, like Gecko) Chrome/9.0.597.67 Safari/534";

using TTranslationRequestTest = TTranslationTest;

TEST_F(TTranslationRequestTest, SendsExactlyTheFixedHeadersAfterHost) {
  FServer.Enqueue(TTestResponse::Ok(TestReply));
  EXPECT_EQ(Translate(QStringLiteral("Hi, \u4e2d\u6587!")), QString::fromUtf8(TestReply));
  ASSERT_EQ(FServer.RequestCount(), 1);
  const QByteArray expected =
      "GET /translate_a/t?client=o&text=Hi%2C+%E4%B8%AD%E6%96%87!&sl=en&tl=zh-CN HTTP/1.1\r\n"
      "Host: 127.0.0.1:" +
      QByteArray::number(FServer.Port()) +
      "\r\n"
      "Connection: close\r\n"
      "Content-Type: application/x-www-form-urlencoded\r\n"
      "Cache-control: no-cache\r\n"
      "Pragma: no-cache\r\n"
      "Accept: */*\r\n"
      "Accept-Language: en\r\n"
      "Referer: " +
      ProductInfo::HomePage.toUtf8() +
      "\r\n"
      "User-Agent: " +
      UserAgent + "\r\n\r\n";
  EXPECT_EQ(FServer.Requests()[0].Head, expected);
  EXPECT_EQ(ProductInfo::HomePage, QStringLiteral("http://www.tralvesco.com/"));
}

TEST_F(TTranslationRequestTest, RebuildingTheHeadersReplacesThem) {
  SetRequestHeaders(FHttp);
  SetRequestHeaders(FHttp);
  Translate(QStringLiteral("a"));
  ASSERT_EQ(FServer.RequestCount(), 1);
  EXPECT_EQ(FServer.Requests()[0].HeaderNames(),
            (QList<QByteArray>{"Host", "Connection", "Content-Type", "Cache-control", "Pragma",
                               "Accept", "Accept-Language", "Referer", "User-Agent"}));
}

TEST_F(TTranslationRequestTest, LanguageCodesEndTheUrl) {
  const struct {
    QString Source, Target;
    QByteArray End;
  } rows[] = {{LanguageEnglish, LanguageSimplifiedChinese, "&sl=en&tl=zh-CN"},
              {LanguageEnglish, LanguageTraditionalChinese, "&sl=en&tl=zh-TW"},
              {LanguageSimplifiedChinese, LanguageEnglish, "&sl=zh-CN&tl=en"},
              {LanguageTraditionalChinese, LanguageEnglish, "&sl=zh-TW&tl=en"}};
  for (const auto& row : rows) {
    FServer.ClearRequests();
    Translate(QStringLiteral("a b"), row.Source, row.Target);
    ASSERT_EQ(FServer.RequestCount(), 1);
    const TRecordedRequest request = FServer.Requests()[0];
    EXPECT_EQ(request.Target, "/translate_a/t?client=o&text=a+b" + row.End);
    EXPECT_EQ(request.QueryItem("sl"), row.Source.toUtf8());
    EXPECT_EQ(request.QueryItem("tl"), row.Target.toUtf8());
    EXPECT_EQ(request.QueryItem("text"), "a+b");
  }
}

TEST_F(TTranslationRequestTest, DefaultAddressIsTheServiceOverHttps) {
  EXPECT_EQ(ServiceAddress(QString()), QByteArray("https://translate.google.com"));
  EXPECT_EQ(ServiceAddress(QStringLiteral("  ")), QByteArray("https://translate.google.com"));
  EXPECT_EQ(
      TranslationUrl(*ServiceAddress({}), QStringLiteral("Hi"), LanguageTraditionalChinese,
                     LanguageEnglish),
      QByteArray("https://translate.google.com/translate_a/t?client=o&text=Hi&sl=zh-TW&tl=en"));
}

TEST_F(TTranslationRequestTest, ServerSettingMayCarryASlashBlanksOrUpperCase) {
  const QString port = QString::number(FServer.Port());
  for (const QString& server : {QStringLiteral("http://127.0.0.1:%1/").arg(port),
                                QStringLiteral("  http://127.0.0.1:%1  ").arg(port),
                                QStringLiteral("HTTP://127.0.0.1:%1").arg(port)}) {
    FServer.ClearRequests();
    Params.Server = server;
    Translate(QStringLiteral("a"));
    ASSERT_EQ(FServer.RequestCount(), 1) << server.toStdString();
    EXPECT_TRUE(FServer.Requests()[0].Target.startsWith("/translate_a/t?"));
  }
}

struct TBadServerCase {
  const char* Name;
  QString Server; // "%1" stands for a port nothing listens on
};

void PrintTo(const TBadServerCase& c, std::ostream* os) {
  *os << c.Name;
}

class TMalformedServerAddressTest : public TTranslationTest,
                                    public ::testing::WithParamInterface<TBadServerCase> {};

TEST_P(TMalformedServerAddressTest, GivesAClearFailureText) {
  Params.Server = GetParam().Server;
  Params.Server.replace(QStringLiteral("%1"), QString::number(UnusedLocalPort()));
  EXPECT_EQ(Translate(QStringLiteral("a")),
            QStringLiteral("'%1' is not a valid translation server address").arg(Params.Server));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TMalformedServerAddressTest,
    ::testing::Values(TBadServerCase{"NoScheme", QStringLiteral("127.0.0.1:%1")},
                      TBadServerCase{"OtherScheme", QStringLiteral("ftp://127.0.0.1:%1")},
                      TBadServerCase{"FileScheme", QStringLiteral("file:///etc/passwd")},
                      TBadServerCase{"NoHost", QStringLiteral("http://")},
                      TBadServerCase{"PortTooLarge", QStringLiteral("http://127.0.0.1:99999")},
                      TBadServerCase{"PortZero", QStringLiteral("http://127.0.0.1:0")},
                      TBadServerCase{"PortNotNumeric", QStringLiteral("http://127.0.0.1:abc")},
                      TBadServerCase{"WithPath", QStringLiteral("http://127.0.0.1:%1/x")},
                      TBadServerCase{"WithQuery", QStringLiteral("http://127.0.0.1:%1?x=1")},
                      TBadServerCase{"WithFragment", QStringLiteral("http://127.0.0.1:%1#x")},
                      TBadServerCase{"WithUser", QStringLiteral("http://u:p@127.0.0.1:%1")},
                      TBadServerCase{"BlankInside", QStringLiteral("http://127.0.0.1 :%1")},
                      TBadServerCase{"OpenBracket", QStringLiteral("http://[::1:%1")},
                      TBadServerCase{"ControlCharacter", QStringLiteral("\x01")}),
    [](const ::testing::TestParamInfo<TBadServerCase>& row) {
      return std::string(row.param.Name);
    });

TEST_F(TTranslationRequestTest, Utf8BodyComesBackDecoded) {
  FServer.Enqueue(TTestResponse::Ok("\xE4\xB8\xAD \xF0\x9F\x98\x80 \xC3\xA9"));
  EXPECT_EQ(Translate(QStringLiteral("a")), QStringLiteral(u"\u4e2d \U0001F600 \u00e9"));
}

TEST_F(TTranslationRequestTest, BodyThatIsNotValidUtf8GivesAnEmptyText) {
  for (const QByteArray& body : {QByteArray("ok \xFF"), QByteArray("\xC0\xAF"),
                                 QByteArray("\xED\xA0\x80"), QByteArray("cut \xE4\xB8")}) {
    FServer.Enqueue(TTestResponse::Ok(body));
    const TTranslationReply reply = Reply(QStringLiteral("a"));
    EXPECT_EQ(reply.Text, QString()) << body.toHex().toStdString();
    EXPECT_EQ(reply.Failure, TTranslationFailure::Unparsable) << body.toHex().toStdString();
  }
}

TEST_F(TTranslationRequestTest, EmptyBodyOf200GivesAnEmptyText) {
  FServer.Enqueue(TTestResponse::Ok({}));
  EXPECT_EQ(Translate(QStringLiteral("a")), QString());
  FServer.Enqueue(TTestResponse::Status(204, "No Content"));
  EXPECT_EQ(Translate(QStringLiteral("a")), QString());
}

struct TStatusCase {
  int Code;
  const char* Reason;
};

void PrintTo(const TStatusCase& c, std::ostream* os) {
  *os << c.Code;
}

class TFailureStatusTest : public TTranslationTest,
                           public ::testing::WithParamInterface<TStatusCase> {};

TEST_P(TFailureStatusTest, GivesTheStatusLineAndFollowsNothing) {
  TTestResponse answer = TTestResponse::Status(GetParam().Code, GetParam().Reason, TestReply)
                             .WithHeader("Location: " + FServer.Url().toUtf8() + "/elsewhere");
  FServer.Enqueue(answer);
  const QByteArray statusLine = answer.StatusLine;
  EXPECT_EQ(Translate(QStringLiteral("a")), QString::fromLatin1(statusLine));
  EXPECT_EQ(FServer.RequestCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, TFailureStatusTest,
                         ::testing::Values(TStatusCase{301, "Moved Permanently"},
                                           TStatusCase{302, "Found"},
                                           TStatusCase{401, "Unauthorized"},
                                           TStatusCase{404, "Not Found"},
                                           TStatusCase{407, "Proxy Authentication Required"},
                                           TStatusCase{500, "Internal Server Error"}),
                         [](const ::testing::TestParamInfo<TStatusCase>& row) {
                           return std::to_string(row.param.Code);
                         });

TEST_F(TTranslationRequestTest, RedirectHelperIsNotFollowed) {
  FServer.Enqueue(TTestResponse::Redirect(FServer.Url().toUtf8() + "/other"));
  EXPECT_EQ(Translate(QStringLiteral("a")), QStringLiteral("HTTP/1.1 302 Found"));
  EXPECT_EQ(FServer.RequestCount(), 1);
}

TEST_F(TTranslationRequestTest, CookiesGoBackOnTheNextRequestOfTheSameClientOnly) {
  FServer.Enqueue(TTestResponse::Ok(TestReply)
                      .WithHeader("Set-Cookie: SID=abc; Path=/")
                      .WithHeader("Set-Cookie: NID=9; Path=/; HttpOnly"));
  Translate(QStringLiteral("first"));
  Translate(QStringLiteral("second"));
  ASSERT_EQ(FServer.RequestCount(), 2);
  const QList<TRecordedRequest> requests = FServer.Requests();
  EXPECT_FALSE(requests[0].Header("Cookie"));
  const QByteArray cookie = requests[1].Header("Cookie").value_or("");
  EXPECT_TRUE(cookie.contains("SID=abc")) << cookie.toStdString();
  EXPECT_TRUE(cookie.contains("NID=9")) << cookie.toStdString();
  // The cookie engine puts its line right after Host; the rest keeps its order.
  EXPECT_EQ(requests[1].HeaderNames(),
            (QList<QByteArray>{"Host", "Cookie", "Connection", "Content-Type", "Cache-control",
                               "Pragma", "Accept", "Accept-Language", "Referer", "User-Agent"}));

  THttpClient fresh; // a new run of the program
  SetRequestHeaders(fresh);
  TranslateText(fresh, QStringLiteral("third"), LanguageEnglish, LanguageSimplifiedChinese);
  ASSERT_EQ(FServer.RequestCount(), 3);
  EXPECT_FALSE(FServer.Requests()[2].Header("Cookie"));
}

TEST_F(TTranslationRequestTest, RefusedConnectionGivesTheLibraryText) {
  Params.Server = QStringLiteral("http://127.0.0.1:%1").arg(UnusedLocalPort());
  const QString result = Translate(QStringLiteral("a"));
  EXPECT_TRUE(result.contains(QStringLiteral("127.0.0.1"))) << result.toStdString();
  EXPECT_FALSE(result.startsWith(QStringLiteral("HTTP/")));
}

TEST_F(TTranslationRequestTest, StalledServerEndsAtTheTimeOut) {
  FHttp.SetTotalTimeout(300ms);
  TTestResponse stall;
  stall.Ending = TTestResponse::TEnding::StallBeforeAnswer;
  FServer.Enqueue(stall);
  EXPECT_TRUE(Translate(QStringLiteral("a")).contains(QStringLiteral("timed out")));

  TTestResponse endless = TTestResponse::Ok(TestReply);
  endless.Ending = TTestResponse::TEnding::StallMidBody;
  endless.CutAfter = 5;
  FServer.Enqueue(endless);
  EXPECT_TRUE(Translate(QStringLiteral("a")).contains(QStringLiteral("timed out")));
}

TEST_F(TTranslationRequestTest, ConnectionClosedMidBodyIsAFailure) {
  TTestResponse broken = TTestResponse::Ok(TestReply);
  broken.Ending = TTestResponse::TEnding::CloseMidBody;
  broken.CutAfter = 10;
  FServer.Enqueue(broken);
  const QString result = Translate(QStringLiteral("a"));
  EXPECT_FALSE(result.isEmpty());
  EXPECT_FALSE(result.startsWith(QStringLiteral("{")));
  EXPECT_TRUE(result.contains(QStringLiteral("closed"))) << result.toStdString();
}

TEST_F(TTranslationRequestTest, OversizedBodyIsAFailure) {
  FHttp.SetMaxBodySize(1000);
  FServer.Enqueue(TTestResponse::Ok(QByteArray(5000, 'x')));
  EXPECT_EQ(Translate(QStringLiteral("a")), QStringLiteral("The answer is larger than 1000 bytes"));
  FServer.Enqueue(TTestResponse::Ok(QByteArray(1000, 'x')));
  EXPECT_EQ(Translate(QStringLiteral("a")), QString(1000, u'x'));
}

TEST_F(TTranslationRequestTest, AnswersLongerThanThePaneCanShowAreAFailure) {
  const qsizetype cap = MaxTranslationReplyBytes;
  FServer.Enqueue(TTestResponse::Ok(QByteArray(cap + 1, 'x')));
  EXPECT_EQ(Translate(QStringLiteral("a")),
            QStringLiteral("The answer is larger than %1 bytes").arg(cap));
  FServer.Enqueue(TTestResponse::Ok(QByteArray(cap, 'x')));
  EXPECT_EQ(Translate(QStringLiteral("a")).size(), cap);
}

TEST_F(TTranslationRequestTest, VeryLongTextGoesOutInOneRequest) {
  QString text;
  while (text.size() < 200000)
    text += QStringLiteral(u"Long text, \u4e2d\u6587 ~ ");
  FServer.Enqueue(TTestResponse::Status(414, "URI Too Long"));
  EXPECT_EQ(Translate(text), QStringLiteral("HTTP/1.1 414 URI Too Long"));
  ASSERT_EQ(FServer.RequestCount(), 1);
  const QByteArray target = FServer.Requests()[0].Target;
  EXPECT_EQ(target, "/translate_a/t?client=o&text=" + UrlEncode(text.toUtf8()) + "&sl=en&tl=zh-CN");
}

TEST_F(TTranslationRequestTest, TextBeyondTheLibraryLimitIsRefusedWithAText) {
  const QString text(3000000, QChar(0x4E2D)); // 27 MB once encoded
  const QString result = Translate(text);
  EXPECT_TRUE(result.startsWith(QStringLiteral("The request is too long to send")))
      << result.left(200).toStdString();
  EXPECT_EQ(FServer.RequestCount(), 0);
}

// What the settings say changes on the GUI thread while the worker sends:
// the request keeps what they said when it was prepared.
TEST_F(TTranslationRequestTest, APreparedRequestTakesItsSettingsAlongToTheWorker) {
  FServer.SetResponse(TTestResponse::Ok(TestReply));
  const TTranslationRequest request = PrepareTranslation(
      FHttp, Params.Server, QStringLiteral("Hi"), LanguageEnglish, LanguageSimplifiedChinese);
  Params.Server = QStringLiteral("http://127.0.0.1:%1").arg(UnusedLocalPort());
  FHttp.ClearRequestHeaders();
  FHttp.AddRequestHeader("X-Later", "1");
  FHttp.SetProxyServer(QStringLiteral("127.0.0.1"));
  FHttp.SetProxyPort(UnusedLocalPort());

  QString result;
  std::thread worker([&] { result = TranslateText(FHttp, request).Text; });
  worker.join();
  EXPECT_EQ(result, QString::fromUtf8(TestReply));
  ASSERT_EQ(FServer.RequestCount(), 1);
  const TRecordedRequest sent = FServer.Requests()[0];
  EXPECT_EQ(sent.Target, "/translate_a/t?client=o&text=Hi&sl=en&tl=zh-CN");
  EXPECT_EQ(sent.HeaderNames(),
            (QList<QByteArray>{"Host", "Connection", "Content-Type", "Cache-control", "Pragma",
                               "Accept", "Accept-Language", "Referer", "User-Agent"}));

  // A setting that is no address sends nothing and says why.
  const TTranslationRequest refused =
      PrepareTranslation(FHttp, QStringLiteral("ftp://127.0.0.1"), QStringLiteral("Hi"),
                         LanguageEnglish, LanguageSimplifiedChinese);
  EXPECT_EQ(TranslateText(FHttp, refused).Detail,
            QStringLiteral("'ftp://127.0.0.1' is not a valid translation server address"));
  EXPECT_EQ(FServer.RequestCount(), 1);
}

TEST_F(TTranslationRequestTest, RunsOnAWorkerThreadWithClientsOfItsOwn) {
  FServer.SetResponse(TTestResponse::Ok(TestReply));
  QString results[2];
  std::thread workers[2];
  for (int i = 0; i < 2; ++i) {
    workers[i] = std::thread([&results, i] {
      THttpClient client;
      SetRequestHeaders(client);
      results[i] =
          TranslateText(client, QStringLiteral("a"), LanguageEnglish, LanguageSimplifiedChinese)
              .Text;
    });
  }
  for (std::thread& worker : workers)
    worker.join();
  EXPECT_EQ(results[0], QString::fromUtf8(TestReply));
  EXPECT_EQ(results[1], QString::fromUtf8(TestReply));
}

} // namespace
