#include "app/frm_Root.h"
#include "app/skin.h"
#include "app_test_support.h"
#include "lang/form_lang_res.h"
#include "settings/program_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

const QString DataDir = QStringLiteral(TRALVESCO_DATA_DIR);

QStringList& Warnings() {
  static QStringList warnings;
  return warnings;
}

void RecordWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtDebugMsg && type != QtInfoMsg)
    Warnings().append(message);
}

class TSkinTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FProgramDir.isValid());
    SetProgramDirForTesting(FProgramDir.path());
    ShownBoxes().clear();
    Warnings().clear();
    FOldHandler = qInstallMessageHandler(RecordWarning);
  }
  void TearDown() override {
    qInstallMessageHandler(FOldHandler);
    qApp->setStyleSheet(QString());
    SetProgramDirForTesting({});
  }

  void WriteProgramFile(const QString& name, const QByteArray& bytes) {
    QFile file(FProgramDir.path() + QLatin1Char('/') + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  QTemporaryDir FProgramDir;
  QtMessageHandler FOldHandler = nullptr;
};

TEST_F(TSkinTest, ABareNameIsTakenFromTheProgramFolder) {
  WriteProgramFile(QStringLiteral("aero.she"), "QPushButton { color: #123456; }");
  QTemporaryDir elsewhere;
  QFile decoy(elsewhere.path() + QStringLiteral("/aero.she"));
  ASSERT_TRUE(decoy.open(QIODevice::WriteOnly));
  decoy.write("QPushButton { color: #ff0000; }");
  decoy.close();
  const QString oldCurrent = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));

  EXPECT_TRUE(SkinH_AttachEx(QStringLiteral("aero.she"), QString()));
  QDir::setCurrent(oldCurrent);
  EXPECT_EQ(qApp->styleSheet(), QStringLiteral("QPushButton { color: #123456; }"));
  // Under a sheet the application's style is the sheet's; Fusion is beneath.
  qApp->setStyleSheet(QString());
  EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
}

TEST_F(TSkinTest, AMissingOrUnreadableSkinLeavesTheLookAloneSilently) {
  EXPECT_FALSE(SkinH_AttachEx(QStringLiteral("aero.she"), QString()));
  ASSERT_TRUE(QDir(FProgramDir.path()).mkdir(QStringLiteral("aero.she")));
  EXPECT_FALSE(SkinH_AttachEx(QStringLiteral("aero.she"), QString()));
  EXPECT_TRUE(qApp->styleSheet().isEmpty());
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

// A form with every kind of control the program's windows use.
class TfrmSkinned : public TfrmRoot {
  Q_OBJECT
public:
  TfrmSkinned() {
    setObjectName(QStringLiteral("frmSkinned"));
    resize(460, 330);
    auto* pages = new QTabWidget(this);
    pages->setGeometry(8, 8, 440, 200);
    auto* tsGeneral = new QWidget;
    pages->addTab(tsGeneral, QStringLiteral("General"));
    pages->addTab(new QWidget, QStringLiteral("Connection"));
    labOnPage = new QLabel(QStringLiteral("On a page"), tsGeneral);
    labOnPage->move(10, 10);
    (new QCheckBox(QStringLiteral("Check"), tsGeneral))->move(10, 30);
    auto* group = new QGroupBox(QStringLiteral("Group"), tsGeneral);
    group->setGeometry(10, 60, 400, 60);
    (new QRadioButton(QStringLiteral("Radio"), group))->move(10, 25);
    (new QComboBox(tsGeneral))->setGeometry(10, 130, 120, 22);
    edtEditable = new QLineEdit(QStringLiteral("x"), this);
    edtEditable->setGeometry(8, 215, 120, 22);
    edtReadOnly = new QLineEdit(QStringLiteral("x"), this);
    edtReadOnly->setGeometry(140, 215, 120, 22);
    edtReadOnly->setReadOnly(true);
    auto* flat = new QPushButton(this);
    flat->setFlat(true);
    flat->setGeometry(270, 215, 25, 25);
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setGeometry(300, 215, 75, 25);
    ok->setDefault(true);
    (new QTextEdit(this))->setGeometry(8, 245, 300, 50);
    (new QStatusBar(this))->setGeometry(0, 308, 460, 22);
    RunCreateStep([this] { FormCreate(this); });
  }
  QLabel* labOnPage = nullptr;
  QLineEdit* edtEditable = nullptr;
  QLineEdit* edtReadOnly = nullptr;
};

QColor InnerColour(QWidget* edit) {
  const QImage image = edit->grab().toImage();
  const qreal ratio = image.devicePixelRatio();
  return image.pixelColor(QPointF(edit->width() - 5, edit->height() / 2.0).toPoint() * ratio);
}

TEST_F(TSkinTest, TheShippedSkinParsesAndKeepsEveryControlReadable) {
  SetProgramDirForTesting(DataDir);
  ASSERT_TRUE(SkinH_AttachEx(QStringLiteral("aero.she"), QString()));
  TfrmSkinned form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.grab();
  EXPECT_TRUE(Warnings().isEmpty()) << Warnings().join(QLatin1Char('\n')).toStdString();
  // Read-only fields look different from editable ones.
  EXPECT_NE(InnerColour(form.edtEditable), InnerColour(form.edtReadOnly));
  // The window's font reaches controls made after the skin, pages included.
  EXPECT_EQ(form.labOnPage->font().family(), QStringLiteral("Tahoma"));
}

TEST_F(TSkinTest, ALanguageFilesFontReachesEveryControlUnderTheSkin) {
  SetProgramDirForTesting(DataDir);
  ASSERT_TRUE(SkinH_AttachEx(QStringLiteral("aero.she"), QString()));
  SetProgramDirForTesting(FProgramDir.path());
  WriteProgramFile(QStringLiteral("big.lng"), "[TfrmSkinned]\nfrmSkinned_FontSize=14\n");
  TfrmSkinned form;
  auto* sml = new TsmlFormLangRes(&form);
  sml->SetAutoCreateMode(false);
  sml->SetLangFileName(QStringLiteral(".\\big.lng"));
  sml->SetActive(true);
  EXPECT_EQ(form.font().pointSize(), 14);
  EXPECT_EQ(form.labOnPage->font().pointSize(), 14);
  EXPECT_EQ(form.edtReadOnly->font().pointSize(), 14);
}

} // namespace

#include "skin_test.moc"
