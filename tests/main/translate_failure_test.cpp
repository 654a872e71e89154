// Every failed translation shows the one failure text in the target pane,
// and its reason goes to the log, where a user or a bug report finds it.
#include "main_test_support.h"

#include "local_socket_loop.h"
#include "settings/settings.h"
#include "translate/reply_parser.h"

#include <QList>
#include <QMutex>
#include <functional>

namespace {

struct TLogLine {
  QtMsgType Type;
  QString Category;
  QString Text;
};

QMutex LogMutex;
QList<TLogLine> LogLines;

void RecordLog(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  const QMutexLocker lock(&LogMutex);
  LogLines.append({type, QString::fromLatin1(context.category), text});
}

class TTranslateFailureTest;

struct TFailureRow {
  const char* Name;
  QString Kind; // as the log names it
  std::function<void(TTranslateFailureTest&)> Arrange;
};

void PrintTo(const TFailureRow& row, std::ostream* os) {
  *os << row.Name;
}

class TTranslateFailureTest : public TMainWindowTest,
                              public ::testing::WithParamInterface<TFailureRow> {
public:
  void SetUp() override {
    TMainWindowTest::SetUp();
    LogLines.clear();
    FPreviousHandler = qInstallMessageHandler(RecordLog);
  }
  void TearDown() override {
    qInstallMessageHandler(FPreviousHandler);
    TMainWindowTest::TearDown();
  }

  THttpClient& Http() { return FWindow->Http(); }
  // Answers every connection at once with bytes that are no TLS.
  void StartPlainTextListener() {
    FPlain = std::make_unique<TLocalSocketLoop>([](const TLocalSocketLoop& loop, int socket) {
      loop.SendAll(socket, "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
      loop.WaitForPeerClose(socket);
    });
  }
  quint16 PlainPort() const { return FPlain->Port(); }
  TTestHttpServer& Server() { return FServer; }

private:
  QtMessageHandler FPreviousHandler = nullptr;
  std::unique_ptr<TLocalSocketLoop> FPlain;
};

TEST_P(TTranslateFailureTest, ShowsTheOneTextAndLogsTheKind) {
  Start();
  GetParam().Arrange(*this);
  TypeSource(QStringLiteral("secret words"));
  ClickTranslate();
  EXPECT_EQ(Target()->BodyText(), ParseFailureMessage);

  const QMutexLocker lock(&LogMutex);
  QList<TLogLine> ours;
  for (const TLogLine& line : LogLines)
    if (line.Category == QStringLiteral("tralvesco.translate"))
      ours.append(line);
  ASSERT_EQ(ours.size(), 1);
  EXPECT_EQ(ours[0].Type, QtWarningMsg);
  EXPECT_TRUE(
      ours[0].Text.startsWith(QStringLiteral("translation failed (%1): ").arg(GetParam().Kind)))
      << ours[0].Text.toStdString();
  // The user's text stays out of the log.
  EXPECT_FALSE(ours[0].Text.contains(QStringLiteral("secret"))) << ours[0].Text.toStdString();
}

using namespace std::chrono_literals;

INSTANTIATE_TEST_SUITE_P(
    Kinds, TTranslateFailureTest,
    ::testing::Values(
        TFailureRow{
            "Request", QStringLiteral("request"),
            [](TTranslateFailureTest&) { Params.Server = QStringLiteral("ftp://127.0.0.1"); }},
        TFailureRow{"Proxy", QStringLiteral("proxy settings"),
                    [](TTranslateFailureTest& test) {
                      test.Http().SetProxyFault(
                          QStringLiteral("'x y' is not a valid proxy address"));
                    }},
        TFailureRow{"ConnectionRefused", QStringLiteral("connection"),
                    [](TTranslateFailureTest&) {
                      Params.Server = QStringLiteral("http://127.0.0.1:%1").arg(UnusedLocalPort());
                    }},
        TFailureRow{"TimeOut", QStringLiteral("time-out"),
                    [](TTranslateFailureTest& test) {
                      TTestResponse stall;
                      stall.Ending = TTestResponse::TEnding::StallBeforeAnswer;
                      test.Server().Enqueue(stall);
                      test.Http().SetTotalTimeout(300ms);
                    }},
        TFailureRow{"Tls", QStringLiteral("TLS"),
                    [](TTranslateFailureTest& test) {
                      test.StartPlainTextListener();
                      Params.Server = QStringLiteral("https://127.0.0.1:%1").arg(test.PlainPort());
                    }},
        TFailureRow{"HttpStatus", QStringLiteral("HTTP status"),
                    [](TTranslateFailureTest& test) {
                      test.Server().Enqueue(TTestResponse::Status(503, "Service Unavailable"));
                    }},
        TFailureRow{"SizeCap", QStringLiteral("size cap"),
                    [](TTranslateFailureTest& test) {
                      test.Http().SetMaxBodySize(100);
                      test.Server().Enqueue(TTestResponse::Ok(QByteArray(1000, 'a')));
                    }},
        TFailureRow{"Cancelled", QStringLiteral("cancelled"),
                    [](TTranslateFailureTest& test) {
                      THttpClient* http = &test.Http();
                      test.Server().SetHandler([http](const TRecordedRequest&) {
                        http->Abort();
                        TTestResponse stall;
                        stall.Ending = TTestResponse::TEnding::StallBeforeAnswer;
                        return stall;
                      });
                    }},
        TFailureRow{
            "NotUtf8", QStringLiteral("unparsable reply"),
            [](TTranslateFailureTest& test) { test.Server().Enqueue(TTestResponse::Ok("\xFF")); }},
        TFailureRow{"NoTranslation", QStringLiteral("unparsable reply"),
                    [](TTranslateFailureTest& test) {
                      test.Server().Enqueue(TTestResponse::Ok(R"({"sentences":"secret"})"));
                    }}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
