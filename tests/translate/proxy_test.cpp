#include "translate_fixture.h"

#include "core/app_error.h"
#include "local_socket_loop.h"
#include "test_proxy.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class TProxySettingsTest : public TTranslationTest {
protected:
  void UseProxy(const QString& port, const QString& user = {}, const QString& password = {}) {
    Params.NoProxy = false;
    Params.Address = QStringLiteral("127.0.0.1");
    Params.Port = port;
    Params.UserName = user;
    Params.Password = password;
    ApplyProxySettings(FHttp);
  }
  QString ProxyPort() const { return QString::number(FProxy.Port()); }
  QByteArray TranslationTarget() const {
    return FServer.Url().toUtf8() + "/translate_a/t?client=o&text=a&sl=en&tl=zh-CN";
  }

  TTestProxy FProxy;
};

TEST_F(TProxySettingsTest, NoProxyClearsEverythingWhateverTheOtherMembersHold) {
  FHttp.SetProxyServer(QStringLiteral("old"));
  FHttp.SetProxyPort(3128);
  FHttp.SetProxyUserName(QStringLiteral("u"));
  FHttp.SetProxyPassword(QStringLiteral("p"));
  Params.NoProxy = true;
  Params.Address = QStringLiteral("127.0.0.1");
  Params.Port = QStringLiteral("8080");
  ApplyProxySettings(FHttp);
  EXPECT_EQ(FHttp.ProxyServer(), QString());
  EXPECT_EQ(FHttp.ProxyPort(), 0);
  EXPECT_EQ(FHttp.ProxyUserName(), QString());
  EXPECT_EQ(FHttp.ProxyPassword(), QString());
}

TEST_F(TProxySettingsTest, ProxyMembersAreCopiedWithThePortAsANumber) {
  Params.NoProxy = false;
  Params.Address = QStringLiteral("proxy.example");
  Params.UserName = QStringLiteral("me");
  Params.Password = QStringLiteral("p=ss");
  for (const auto& [text, port] : {std::pair{"8080", 8080}, {" 3128 ", 3128}, {"0x1F90", 8080}}) {
    Params.Port = QString::fromLatin1(text);
    ApplyProxySettings(FHttp);
    EXPECT_EQ(FHttp.ProxyPort(), port) << text;
  }
  EXPECT_EQ(FHttp.ProxyServer(), QStringLiteral("proxy.example"));
  EXPECT_EQ(FHttp.ProxyUserName(), QStringLiteral("me"));
  EXPECT_EQ(FHttp.ProxyPassword(), QStringLiteral("p=ss"));
}

TEST_F(TProxySettingsTest, PortThatIsNotANumberStopsHalfWay) {
  for (const QString& port : {QStringLiteral("abc"), QString(), QStringLiteral("80 80")}) {
    FHttp.SetProxyServer(QStringLiteral("old"));
    FHttp.SetProxyPort(3128);
    FHttp.SetProxyUserName(QStringLiteral("old user"));
    FHttp.SetProxyPassword(QStringLiteral("old password"));
    Params.NoProxy = false;
    Params.Address = QStringLiteral("new");
    Params.Port = port;
    Params.UserName = QStringLiteral("new user");
    Params.Password = QStringLiteral("new password");
    try {
      ApplyProxySettings(FHttp);
      ADD_FAILURE() << "no error for port '" << port.toStdString() << "'";
    } catch (const ETralvescoError& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid integer value").arg(port));
    }
    EXPECT_EQ(FHttp.ProxyServer(), QStringLiteral("new"));
    EXPECT_EQ(FHttp.ProxyPort(), 3128);
    EXPECT_EQ(FHttp.ProxyUserName(), QStringLiteral("old user"));
    EXPECT_EQ(FHttp.ProxyPassword(), QStringLiteral("old password"));
  }
}

TEST_F(TProxySettingsTest, RequestGoesThroughTheProxyInAbsoluteForm) {
  FServer.Enqueue(TTestResponse::Ok(TestReply));
  UseProxy(ProxyPort());
  EXPECT_EQ(Translate(QStringLiteral("a")), QString::fromUtf8(TestReply));
  ASSERT_EQ(FProxy.RequestCount(), 1);
  const TRecordedRequest atProxy = FProxy.Requests()[0];
  EXPECT_EQ(atProxy.Method, "GET");
  EXPECT_EQ(atProxy.Target, TranslationTarget());
  EXPECT_EQ(atProxy.Version, "HTTP/1.1");
  // Nothing of the library's own: no Proxy-Connection, no credentials unasked.
  EXPECT_EQ(atProxy.HeaderNames(),
            (QList<QByteArray>{"Host", "Connection", "Content-Type", "Cache-control", "Pragma",
                               "Accept", "Accept-Language", "Referer", "User-Agent"}));
  ASSERT_EQ(FServer.RequestCount(), 1);
  EXPECT_EQ(FServer.Requests()[0].Target, "/translate_a/t?client=o&text=a&sl=en&tl=zh-CN");
}

TEST_F(TProxySettingsTest, NoProxyGoesDirectlyEvenWithAddressAndPortFilledIn) {
  UseProxy(ProxyPort());
  Params.NoProxy = true;
  ApplyProxySettings(FHttp);
  Translate(QStringLiteral("a"));
  EXPECT_EQ(FProxy.RequestCount(), 0);
  ASSERT_EQ(FServer.RequestCount(), 1);
  EXPECT_EQ(FServer.Requests()[0].Target, "/translate_a/t?client=o&text=a&sl=en&tl=zh-CN");
}

TEST_F(TProxySettingsTest, CredentialsGoOnlyAfterThe407) {
  const QString password = QStringLiteral(u"p\u00e4ss:word");
  FProxy.RequireBasicAuth("user", password.toUtf8());
  FServer.Enqueue(TTestResponse::Ok(TestReply));
  UseProxy(ProxyPort(), QStringLiteral("user"), password);
  EXPECT_EQ(Translate(QStringLiteral("a")), QString::fromUtf8(TestReply));
  ASSERT_EQ(FProxy.RequestCount(), 2);
  const QList<TRecordedRequest> requests = FProxy.Requests();
  EXPECT_FALSE(requests[0].Header("Proxy-Authorization"));
  EXPECT_EQ(requests[1].Header("Proxy-Authorization"),
            "Basic " + ("user:" + password.toUtf8()).toBase64());
  for (const TRecordedRequest& request : requests) {
    EXPECT_EQ(request.Target, TranslationTarget());
    EXPECT_FALSE(request.Header("Proxy-Connection"));
    EXPECT_FALSE(request.Header("Authorization"));
  }
  EXPECT_EQ(FServer.RequestCount(), 1);
  EXPECT_FALSE(FServer.Requests()[0].Header("Proxy-Authorization"));
}

TEST_F(TProxySettingsTest, RejectedCredentialsEndInThe407StatusLine) {
  FProxy.RequireBasicAuth("user", "right");
  UseProxy(ProxyPort(), QStringLiteral("user"), QStringLiteral("wrong"));
  EXPECT_EQ(Translate(QStringLiteral("a")),
            QStringLiteral("HTTP/1.1 407 Proxy Authentication Required"));
  EXPECT_EQ(FServer.RequestCount(), 0);
}

TEST_F(TProxySettingsTest, ProxyAskingWithoutConfiguredUserIsAFailure) {
  FProxy.RequireBasicAuth("user", "right");
  UseProxy(ProxyPort());
  EXPECT_EQ(Translate(QStringLiteral("a")),
            QStringLiteral("HTTP/1.1 407 Proxy Authentication Required"));
  EXPECT_EQ(FProxy.RequestCount(), 1);
}

TEST_F(TProxySettingsTest, TunnelRequestCarriesNoneOfTheServiceHeaders) {
  // An https service is reached through a CONNECT tunnel; the proxy refuses it
  // here, which is enough to see what the proxy was told.
  Params.Server = QStringLiteral("https://127.0.0.1:%1").arg(UnusedLocalPort());
  UseProxy(ProxyPort());
  const QString result = Translate(QStringLiteral("a"));
  EXPECT_FALSE(result.isEmpty());
  ASSERT_EQ(FProxy.RequestCount(), 1);
  const TRecordedRequest connect = FProxy.Requests()[0];
  EXPECT_EQ(connect.Method, "CONNECT");
  EXPECT_EQ(connect.HeaderNames(), QList<QByteArray>{"Host"});
}

TEST_F(TProxySettingsTest, PortOutsideTheRangeFailsTheRequestWithoutSendingIt) {
  for (const QString& port : {QStringLiteral("70000"), QStringLiteral("0"), QStringLiteral("-1")}) {
    const QString message = QStringLiteral("'%1' is not a valid proxy port").arg(port);
    try {
      UseProxy(port);
      ADD_FAILURE() << "no error for port '" << port.toStdString() << "'";
    } catch (const ETralvescoError& e) {
      EXPECT_EQ(e.Message(), message);
    }
    const TTranslationReply reply = Reply(QStringLiteral("a"));
    EXPECT_EQ(reply.Failure, TTranslationFailure::Proxy);
    EXPECT_EQ(reply.Detail, message);
  }
  EXPECT_EQ(FProxy.RequestCount(), 0);
  EXPECT_EQ(FServer.RequestCount(), 0);
}

TEST_F(TProxySettingsTest, ProxyThatRefusesTheConnectionGivesTheLibraryText) {
  UseProxy(QString::number(UnusedLocalPort()));
  const QString result = Translate(QStringLiteral("a"));
  EXPECT_TRUE(result.contains(QStringLiteral("127.0.0.1"))) << result.toStdString();
  EXPECT_EQ(FServer.RequestCount(), 0);
}

// What a hand-edited settings file may put in the address: only a bare host
// reaches the library, and anything else is refused before a request.
struct TAddressCase {
  const char* Name;
  QString Address;
  std::optional<QString> Server; // nothing: refused
};

void PrintTo(const TAddressCase& c, std::ostream* os) {
  *os << c.Name;
}

class TProxyAddressTest : public TProxySettingsTest,
                          public ::testing::WithParamInterface<TAddressCase> {};

TEST_P(TProxyAddressTest, OnlyABareHostIsTaken) {
  const TAddressCase& c = GetParam();
  FHttp.SetProxyServer(QStringLiteral("old"));
  Params.NoProxy = false;
  Params.Address = c.Address;
  Params.Port = QStringLiteral("3128");
  try {
    ApplyProxySettings(FHttp);
    ASSERT_TRUE(c.Server) << "taken as " << FHttp.ProxyServer().toStdString();
    EXPECT_EQ(FHttp.ProxyServer(), *c.Server);
    EXPECT_EQ(FHttp.ProxyPort(), 3128);
    EXPECT_EQ(FHttp.ProxyFault(), QString());
  } catch (const ETralvescoError& e) {
    ASSERT_FALSE(c.Server) << e.Message().toStdString();
    EXPECT_EQ(e.Message(),
              QStringLiteral("'%1' is not a valid proxy address: give a host name or an IP "
                             "address only")
                  .arg(c.Address));
    EXPECT_EQ(FHttp.ProxyServer(), QStringLiteral("old"));
    // The old proxy is not used in its place: nothing is sent at all.
    EXPECT_EQ(FHttp.ProxyFault(), e.Message());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TProxyAddressTest,
    ::testing::Values(
        TAddressCase{"HostName", QStringLiteral("proxy.example"), QStringLiteral("proxy.example")},
        TAddressCase{"BlanksAround", QStringLiteral(" proxy-1.example "),
                     QStringLiteral("proxy-1.example")},
        TAddressCase{"Ipv4", QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.1")},
        TAddressCase{"Ipv6", QStringLiteral("::1"), QStringLiteral("[::1]")},
        TAddressCase{"Ipv6InBrackets", QStringLiteral("[fe80::1]"), QStringLiteral("[fe80::1]")},
        TAddressCase{"AbsoluteName", QStringLiteral("localhost."), QStringLiteral("localhost.")},
        TAddressCase{"Ipv6WithZone", QStringLiteral("fe80::1%lo"),
                     QStringLiteral("[fe80::1%25lo]")},
        TAddressCase{"Ipv6WithEscapedZone", QStringLiteral("[fe80::1%25eth0]"),
                     QStringLiteral("[fe80::1%25eth0]")},
        TAddressCase{"EmptyZone", QStringLiteral("fe80::1%"), std::nullopt},
        TAddressCase{"Blanks", QStringLiteral("   "), std::nullopt},
        TAddressCase{"TwoDotsAtTheEnd", QStringLiteral("localhost.."), std::nullopt},
        TAddressCase{"Socks5Scheme", QStringLiteral("socks5://127.0.0.1"), std::nullopt},
        TAddressCase{"HttpScheme", QStringLiteral("http://proxy.example"), std::nullopt},
        TAddressCase{"WithPort", QStringLiteral("proxy.example:8080"), std::nullopt},
        TAddressCase{"Ipv6WithPort", QStringLiteral("[::1]:8080"), std::nullopt},
        TAddressCase{"WithUser", QStringLiteral("user:pass@proxy.example"), std::nullopt},
        TAddressCase{"WithPath", QStringLiteral("proxy.example/x"), std::nullopt},
        TAddressCase{"InnerBlank", QStringLiteral("proxy example"), std::nullopt},
        TAddressCase{"EmptyLabel", QStringLiteral("proxy..example"), std::nullopt}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TProxySettingsTest, ControlCharactersInCredentialsNeverReachTheWire) {
  FProxy.RequireDigestAuth();
  UseProxy(ProxyPort(), QStringLiteral("us\rer\nX-Injected: 1"), QStringLiteral("pa\rss"));
  EXPECT_EQ(Translate(QStringLiteral("a")),
            QStringLiteral("HTTP/1.1 407 Proxy Authentication Required"));
  ASSERT_EQ(FProxy.RequestCount(), 2);
  const TRecordedRequest answer = FProxy.Requests()[1];
  const std::optional<QByteArray> authorization = answer.Header("Proxy-Authorization");
  ASSERT_TRUE(authorization);
  EXPECT_TRUE(authorization->startsWith("Digest ")) << authorization->toStdString();
  EXPECT_TRUE(authorization->contains("username=\"us er X-Injected: 1\""))
      << authorization->toStdString();
  EXPECT_FALSE(answer.Header("X-Injected"));
  // Every line of the head ends in CRLF; no bare CR or LF splits one.
  EXPECT_EQ(answer.Head.count('\r'), answer.Head.count("\r\n"));
  EXPECT_EQ(answer.Head.count('\n'), answer.Head.count("\r\n"));
}

// A password written on a Chinese Windows system is GBK in the settings file;
// the proxy expects those bytes, whatever the program shows.
TEST_F(TProxySettingsTest, LegacyCredentialsGoAsTheFileHoldsThem) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  SettingsFileName = dir.filePath(QStringLiteral("Tralvesco.ini"));
  QFile file(SettingsFileName);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Connection]\r\nNoProxy=0\r\nAddress=127.0.0.1\r\nPort=" + ProxyPort().toLatin1() +
             "\r\nUserName=\xD5\xC5\xC8\xFD\r\nPassword=\xC3\xDC\xC2\xEB\r\n");
  file.close();
  LoadSettings();
  Params.Server = FServer.Url();
  EXPECT_EQ(Params.UserName, QStringLiteral("张三"));
  EXPECT_EQ(Params.Password, QStringLiteral("密码"));
  ApplyProxySettings(FHttp);
  FProxy.RequireBasicAuth("\xD5\xC5\xC8\xFD", "\xC3\xDC\xC2\xEB");
  FServer.Enqueue(TTestResponse::Ok(TestReply));
  EXPECT_EQ(Translate(QStringLiteral("a")), QString::fromUtf8(TestReply));

  // Once the user types a new value, that text goes as UTF-8.
  Params.Password = QStringLiteral("密碼");
  ApplyProxySettings(FHttp);
  FProxy.RequireBasicAuth("\xD5\xC5\xC8\xFD", QStringLiteral("密碼").toUtf8());
  FServer.Enqueue(TTestResponse::Ok(TestReply));
  EXPECT_EQ(Translate(QStringLiteral("a")), QString::fromUtf8(TestReply));
  SettingsFileName.clear();
}

} // namespace
