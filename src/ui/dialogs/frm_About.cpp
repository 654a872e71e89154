#include "ui/dialogs/frm_About.h"

#include "core/product_info.h"
#include "lang/display_language.h"
#include "lang/font_charset.h"
#include "lang/form_lang_res.h"
#include "lang/form_localisers.h"
#include "lang/msg_lang_res.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

namespace {

// A fixed-size centred line whose text code sets, never a language file.
QLabel* InfoLine(QWidget* parent, const char* name, const QRect& bounds) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(bounds);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

// Bold "Tahoma" of the given height in pixels, in the ANSI character set.
void SetBoldFont(QLabel* label, int pixelHeight) {
  QFont font = TfrmRoot::DefaultFont();
  font.setPixelSize(pixelHeight);
  font.setBold(true);
  label->setFont(font);
  SetFontCharset(label, FontCharset::Ansi);
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : TfrmRoot(parent) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(362, 190);

  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setGeometry(146, 164, 75, 25);
  btnOk->setDefault(true);
  SetCancelButton(btnOk);
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setGeometry(8, 8, 352, 145);
  labProduct = InfoLine(GroupBox1, "labProduct", QRect(7, 25, 336, 21));
  SetBoldFont(labProduct, 16);
  labVer = InfoLine(GroupBox1, "labVer", QRect(11, 64, 332, 14));
  SetBoldFont(labVer, 12);
  labCopy = InfoLine(GroupBox1, "labCopy", QRect(11, 116, 332, 14));

  CreateLocalisers();
  RunCreateStep([this] { FormCreate(this); });
}

void TfrmAbout::CreateLocalisers() {
  // Product, version and copyright are the program's own, in every language.
  smlFormLangRes1 = CreateFormLocaliser(
      this, {QStringLiteral("Caption"), QStringLiteral("Hint")},
      {QStringLiteral("labProduct"), QStringLiteral("labVer"), QStringLiteral("labCopy")});
  smlMsgLangRes1 = CreateMsgLocaliser(this, {QStringLiteral("strInfomation=Information")});
}

void TfrmAbout::FormCreate(QObject* sender) {
  TfrmRoot::FormCreate(sender);
  smlFormLangRes1->SetLangFileName(LangFilePath);
  smlMsgLangRes1->SetLangFileName(LangFilePath);
  labProduct->setText(ProductInfo::Title);
  labVer->setText(ProductInfo::Version);
  labCopy->setText(ProductInfo::Copyright);
}

void ShowAboutBox(QWidget* parent) {
  // The parent may take the box with it while it is open.
  const QPointer<TfrmAbout> box = new TfrmAbout(parent);
  const auto destroy = qScopeGuard([&box] { delete box.data(); });
  box->exec();
}
