#include "app/application.h"
#include "app/frm_Root.h"
#include "app_test_support.h"
#include "core/app_error.h"
#include "core/app_title.h"
#include "core/error_edge.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class TErrorBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    ShownBoxes().clear();
    SetApplicationTitle(QStringLiteral("Tralvesco"));
  }
};

TEST_F(TErrorBoxTest, AnErrorInAClickHandlerIsShownAndTheProgramGoesOn) {
  QWidget window;
  auto* btnSave = new QPushButton(QStringLiteral("Save"), &window);
  auto* btnOther = new QPushButton(QStringLiteral("Other"), &window);
  btnOther->move(0, 40);
  int otherClicks = 0;
  bool saveFinished = true;
  QObject::connect(btnSave, &QPushButton::clicked, [&saveFinished] {
    saveFinished = RunHandler(
        [] { throw ETralvescoError(QStringLiteral("Unable to write to /nowhere/Tralvesco.ini")); });
  });
  QObject::connect(btnOther, &QPushButton::clicked,
                   [&otherClicks] { RunHandler([&otherClicks] { ++otherClicks; }); });
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  QTest::mouseClick(btnSave, Qt::LeftButton);
  EXPECT_FALSE(saveFinished);
  ASSERT_EQ(ShownBoxes().size(), 1);
  EXPECT_EQ(ShownBoxes()[0].Caption, QStringLiteral("Tralvesco"));
  EXPECT_EQ(ShownBoxes()[0].Text, QStringLiteral("Unable to write to /nowhere/Tralvesco.ini."));
  EXPECT_FALSE(btnSave->isDown());

  QTest::mouseClick(btnOther, Qt::LeftButton);
  EXPECT_EQ(otherClicks, 1);
  QTest::mouseClick(btnSave, Qt::LeftButton);
  EXPECT_EQ(ShownBoxes().size(), 2);
  EXPECT_EQ(TApplication::EscapedErrorCount(), 0);
}

struct TMessageCase {
  const char* Name;
  void (*Throw)();
  const char* Shown;
};
void PrintTo(const TMessageCase& c, std::ostream* os) {
  *os << c.Name;
}

class TErrorTextTest : public TErrorBoxTest, public ::testing::WithParamInterface<TMessageCase> {};

// As a timer or a queued call runs a handler.
TEST_P(TErrorTextTest, ReachesTheBoxWithAFullStop) {
  QObject receiver;
  QMetaObject::invokeMethod(
      &receiver, [raise = GetParam().Throw] { RunHandler(raise); }, Qt::QueuedConnection);
  ASSERT_TRUE(WaitFor([] { return !ShownBoxes().isEmpty(); }));
  ASSERT_EQ(ShownBoxes().size(), 1);
  EXPECT_EQ(ShownBoxes()[0].Caption, QStringLiteral("Tralvesco"));
  EXPECT_EQ(ShownBoxes()[0].Text, QString::fromUtf8(GetParam().Shown));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, TErrorTextTest,
    ::testing::Values(
        TMessageCase{
            "NotAnInteger",
            [] { throw ETralvescoError(QStringLiteral("'8o8o' is not a valid integer value")); },
            "'8o8o' is not a valid integer value."},
        TMessageCase{"ResourceMissing",
                     [] { throw ETralvescoError(QStringLiteral("Resource BAR not found")); },
                     "Resource BAR not found."},
        TMessageCase{
            "EndsWithExclamation",
            [] { throw ETralvescoError(QStringLiteral("Owner must be a Form or a DataModule!")); },
            "Owner must be a Form or a DataModule!"},
        TMessageCase{"AlreadyASentence", [] { throw ETralvescoError(QStringLiteral("Done.")); },
                     "Done."},
        TMessageCase{"ChineseSentence",
                     [] { throw ETralvescoError(QStringLiteral("无法写入文件。")); },
                     "无法写入文件。"},
        TMessageCase{"Empty", [] { throw ETralvescoError(QString()); }, ""},
        TMessageCase{"StandardException", [] { throw std::runtime_error("disk full"); },
                     "disk full."},
        TMessageCase{"AnythingElse", [] { throw 42; }, "An unexpected error occurred."}),
    [](const auto& row) { return std::string(row.param.Name); });

class TfrmBroken : public TfrmRoot {
public:
  TfrmBroken() {
    labInfo = new QLabel(QStringLiteral("Info"), this);
    RunCreateStep([this] { FormCreate(this); });
  }
  void FormCreate(QObject* sender) {
    TfrmRoot::FormCreate(sender);
    setWindowTitle(QStringLiteral("Half made"));
    throw ETralvescoError(QStringLiteral("Unable to write to /nowhere/Tralvesco.ini"));
  }
  QLabel* labInfo = nullptr;
};

TEST_F(TErrorBoxTest, AnErrorInACreationStepIsShownAndTheWindowStillExists) {
  TfrmBroken form;
  ASSERT_EQ(ShownBoxes().size(), 1);
  EXPECT_EQ(ShownBoxes()[0].Text, QStringLiteral("Unable to write to /nowhere/Tralvesco.ini."));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Half made"));
  EXPECT_EQ(form.labInfo->text(), QStringLiteral("Info"));
}

} // namespace
