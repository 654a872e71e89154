#include "core/product_info.h"
#include "dialogs_test_support.h"
#include "ui/dialogs/frm_About.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <utility>

namespace {

struct TAboutLanguage {
  const char* Name;
  const char* OkCaption;
};

void PrintTo(const TAboutLanguage& row, std::ostream* os) {
  *os << row.Name;
}

class TAboutLanguageTest : public TDialogTest,
                           public ::testing::WithParamInterface<TAboutLanguage> {};

TEST_P(TAboutLanguageTest, ShowsTheProductUnchangedAndTheButtonInTheLanguage) {
  LangFilePath = QStringLiteral(".\\Languages\\") + QLatin1String(GetParam().Name) + ".lng";
  TfrmAbout form;
  EXPECT_EQ(Child<QLabel>(&form, "labProduct")->text(), ProductInfo::Title);
  EXPECT_EQ(Child<QLabel>(&form, "labVer")->text(), QStringLiteral("Ver 2.0.0"));
  EXPECT_EQ(Child<QLabel>(&form, "labCopy")->text(), ProductInfo::Copyright);
  EXPECT_EQ(Child<QPushButton>(&form, "btnOk")->text(), QString::fromUtf8(GetParam().OkCaption));
  EXPECT_EQ(Child<QGroupBox>(&form, "GroupBox1")->title(), QString());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("About"));
  EXPECT_EQ(form.size(), QSize(362, 190));
  EXPECT_TRUE(ShownBoxes().isEmpty());
}

const TAboutLanguage AboutLanguages[] = {
    {"English", "OK"}, {"Chinese-Simp", "确定"}, {"Chinese-Trad", "確定"}};

INSTANTIATE_TEST_SUITE_P(Languages, TAboutLanguageTest, ::testing::ValuesIn(AboutLanguages),
                         [](const auto& row) {
                           std::string name = row.param.Name;
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

TEST_F(TDialogTest, AboutLabelsKeepTheirTextsWhateverTheFileSays) {
  const QString file = ProgramPath(QStringLiteral("Languages/Custom.lng"));
  const std::pair<const char*, const char*> entries[] = {{"labProduct_Caption", "Not the product"},
                                                         {"labVer_Caption", "Ver 9"},
                                                         {"labCopy_Caption", "Nobody"},
                                                         {"btnOk_Caption", "<Fine>"},
                                                         {"btnOk_Hint", "Close it"},
                                                         {"GroupBox1_Caption", "Product"},
                                                         {"frmAbout_Caption", "Renamed"}};
  for (const auto& [key, value] : entries)
    ASSERT_TRUE(IniFile::Write(file, QStringLiteral("TfrmAbout"), QLatin1String(key),
                               QLatin1String(value)));
  LangFilePath = QStringLiteral(".\\Languages\\Custom.lng");
  TfrmAbout form;
  EXPECT_EQ(Child<QLabel>(&form, "labProduct")->text(), ProductInfo::Title);
  EXPECT_EQ(Child<QLabel>(&form, "labVer")->text(), ProductInfo::Version);
  EXPECT_EQ(Child<QLabel>(&form, "labCopy")->text(), ProductInfo::Copyright);
  EXPECT_EQ(Child<QPushButton>(&form, "btnOk")->text(), QStringLiteral("Fine"));
  EXPECT_EQ(Child<QPushButton>(&form, "btnOk")->toolTip(), QStringLiteral("Close it"));
  EXPECT_EQ(Child<QGroupBox>(&form, "GroupBox1")->title(), QStringLiteral("Product"));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("About"));
}

TEST_F(TDialogTest, AboutTitleAndVersionAreBoldAndTheTitleLarger) {
  TfrmAbout form;
  const QFont product = Child<QLabel>(&form, "labProduct")->font();
  const QFont version = Child<QLabel>(&form, "labVer")->font();
  const QFont copyright = Child<QLabel>(&form, "labCopy")->font();
  EXPECT_TRUE(product.bold());
  EXPECT_TRUE(version.bold());
  EXPECT_FALSE(copyright.bold());
  EXPECT_EQ(product.pixelSize(), 16);
  EXPECT_EQ(version.pixelSize(), 12);
  for (const char* name : {"labProduct", "labVer", "labCopy"})
    EXPECT_EQ(Child<QLabel>(&form, name)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
}

TEST_F(TDialogTest, AboutEscAndOkBothCloseWithTheResultOk) {
  for (const bool escape : {false, true}) {
    TfrmAbout form;
    auto* btnOk = Child<QPushButton>(&form, "btnOk");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    if (escape)
      QTest::keyClick(&form, Qt::Key_Escape);
    else
      QTest::mouseClick(btnOk, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible()) << (escape ? "Esc" : "OK");
    EXPECT_EQ(form.result(), QDialog::Accepted) << (escape ? "Esc" : "OK");
  }
}

} // namespace
