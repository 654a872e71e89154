// A proxy chosen in the settings is used or nothing is sent: settings that
// cannot be used never turn into a direct request to the service, neither
// at start-up nor after the options dialog.
#include "main_test_support.h"

#include "test_proxy.h"
#include "translate/reply_parser.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

struct TProxyFormRow {
  const char* Name;
  QString Address;
  QString Port; // "%P" stands for the recording proxy's port
  bool Usable = false;
  bool PortFault = false; // the message names the port, not the address
};

void PrintTo(const TProxyFormRow& row, std::ostream* os) {
  *os << row.Name;
}

class TProxyRouteTest : public TMainWindowTest,
                        public ::testing::WithParamInterface<TProxyFormRow> {
protected:
  QString WithProxyPort(QString text) const {
    return text.replace(QStringLiteral("%P"), QString::number(FProxy.Port()));
  }
  QString Address() const { return WithProxyPort(GetParam().Address); }
  QString Port() const { return WithProxyPort(GetParam().Port); }

  void TranslateAndExpectRoute() {
    FServer.SetResponse(TTestResponse::Ok(R"({"sentences":[{"trans":"x"}]})"));
    TypeSource(QStringLiteral("secret"));
    ClickTranslate();
    if (GetParam().Usable) {
      EXPECT_TRUE(ShownBoxes().isEmpty());
      EXPECT_EQ(FProxy.RequestCount(), 1);
      EXPECT_EQ(Target()->BodyText(), QStringLiteral("x"));
      return;
    }
    ASSERT_EQ(ShownBoxes().size(), 1);
    EXPECT_TRUE(ShownBoxes()[0].Text.startsWith(
        QStringLiteral("'%1' is not a valid ").arg(GetParam().PortFault ? Port() : Address())))
        << ShownBoxes()[0].Text.toStdString();
    EXPECT_EQ(FProxy.RequestCount(), 0);
    EXPECT_EQ(FServer.RequestCount(), 0);
    EXPECT_EQ(Target()->BodyText(), ParseFailureMessage);
  }

  TTestProxy FProxy;
};

TEST_P(TProxyRouteTest, AtStartUp) {
  FFolder->WriteSettings(WithServer("[General]\nDisplayLanguage=English\n") +
                         "NoProxy=0\nAddress=\"" + Address().toUtf8() +
                         "\"\nPort=" + Port().toUtf8() + "\n");
  Start();
  TranslateAndExpectRoute();
}

TEST_P(TProxyRouteTest, AfterTheOptionsDialog) {
  Start(); // a direct connection until the dialog says otherwise
  WhenModal([this](QDialog* dialog) {
    QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("rbManuallyProxy")),
                      Qt::LeftButton, {}, QPoint(6, 8));
    for (const auto& [name, text] : {std::pair{"edtAddress", Address()}, {"edtPort", Port()}}) {
      auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name));
      ASSERT_NE(edit, nullptr) << name;
      edit->setFocus();
      QTest::keyClicks(edit, text);
    }
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
  });
  Find<QAction>("miOptions")->trigger();
  TranslateAndExpectRoute();
}

INSTANTIATE_TEST_SUITE_P(
    Forms, TProxyRouteTest,
    ::testing::Values(
        TProxyFormRow{"Usable", QStringLiteral("127.0.0.1"), QStringLiteral("%P"), true},
        TProxyFormRow{"HttpScheme", QStringLiteral("http://127.0.0.1"), QStringLiteral("%P")},
        TProxyFormRow{"Socks5Scheme", QStringLiteral("socks5://127.0.0.1"), QStringLiteral("%P")},
        TProxyFormRow{"HostWithPort", QStringLiteral("127.0.0.1:%P"), QStringLiteral("%P")},
        TProxyFormRow{"UserAtHost", QStringLiteral("user@127.0.0.1"), QStringLiteral("%P")},
        TProxyFormRow{"Ipv6WithPort", QStringLiteral("[::1]:8080"), QStringLiteral("%P")},
        TProxyFormRow{"InnerBlank", QStringLiteral("127.0.0.1 x"), QStringLiteral("%P")},
        TProxyFormRow{"WithPath", QStringLiteral("127.0.0.1/x"), QStringLiteral("%P")},
        TProxyFormRow{"OnlyBlanks", QStringLiteral("   "), QStringLiteral("%P")},
        TProxyFormRow{"PortNotANumber", QStringLiteral("127.0.0.1"), QStringLiteral("eighty"),
                      false, true},
        TProxyFormRow{"PortOutOfRange", QStringLiteral("127.0.0.1"), QStringLiteral("70000"), false,
                      true}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
