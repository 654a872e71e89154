// The main window's controls and non-visual components, as its form
// description lays them out: fixed positions in a fixed-size client area.
#include "app/auto_size_label.h"
#include "app/named.h"
#include "lang/form_localisers.h"
#include "ui/glyphs/glyphs.h"
#include "ui/main/frm_Main.h"
#include "ui/pane/prof_dhtml_edit.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextEdit>

namespace {

constexpr QSize GlyphSize(16, 16);
const QColor LabelColor(0x80, 0x00, 0x00); // maroon

// Localisers may reach only these properties of the component.
void ExposeOnly(QObject* component, const QStringList& properties) {
  component->setProperty("langProperties", properties);
}

TAutoSizeLabel* CaptionLabel(QWidget* parent, const char* name, const QString& caption,
                             QPoint position) {
  auto* label = Named(new TAutoSizeLabel(caption, parent), name);
  // Only the weight is set, so the window's font (and a language file's)
  // still reaches the label.
  QFont bold;
  bold.setBold(true);
  label->setFont(bold);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, LabelColor);
  label->setPalette(palette);
  label->move(position);
  return label;
}

QPushButton* GlyphButton(QWidget* parent, const char* name, const QString& glyph, int top,
                         const QString& hint, int tag) {
  auto* button = Named(new QPushButton(parent), name);
  button->setFlat(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoDefault(false);
  button->setIcon(Glyph(glyph));
  button->setIconSize(GlyphSize);
  button->setToolTip(hint);
  button->setProperty("tag", tag);
  button->setGeometry(491, top, 25, 25);
  return button;
}

TProfDHTMLEdit2* Pane(QWidget* parent, const char* name, const QRect& geometry, int tag) {
  auto* pane = Named(new TProfDHTMLEdit2(parent), name);
  pane->setGeometry(geometry);
  pane->setProperty("tag", tag);
  pane->SetTimeout(30);
  // A scroll bar that came and went with the text's length would change the
  // width lines break at, and lay a long translation out twice.
  pane->Editor()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->SetUseBrOnCarriageReturn(true);
  pane->SetUseDivOnCarriageReturn(true);
  pane->SetSourceCodeOptions(AllSourceCodeOptions & ~TProfDHTMLEditSourceCodeOptions(
                                                        TProfDHTMLEditSourceCodeOption::AddNbsp));
  // The pane's editor and scroll bars are its own parts, not controls of the
  // window: a language file gives the pane a hint and nothing else.
  ExposeOnly(pane, {QStringLiteral("Hint")});
  pane->setProperty("langOpaque", true);
  return pane;
}

} // namespace

void TfrmMain::CreateControls() {
  labFromLang = CaptionLabel(this, "labFromLang", QStringLiteral("English"), {110, 17});
  labToLang = CaptionLabel(this, "labToLang", QStringLiteral("Chinese"), {108, 223});
  labFrom = CaptionLabel(this, "labFrom", QStringLiteral("Translate from :"), {9, 17});
  labTo = CaptionLabel(this, "labTo", QStringLiteral("Translate into :"), {9, 223});

  CreateCommandColumn();

  btnHelp = Named(new QPushButton(QStringLiteral("&Help"), this), "btnHelp");
  btnHelp->setIcon(Glyph(QStringLiteral("help")));
  btnHelp->setIconSize(GlyphSize);
  btnHelp->setGeometry(13, 488, 88, 25);
  btnTranslate = Named(new QPushButton(QStringLiteral("&Translate"), this), "btnTranslate");
  btnTranslate->setIcon(Glyph(QStringLiteral("translate")));
  btnTranslate->setIconSize(GlyphSize);
  btnTranslate->setGeometry(373, 488, 113, 25);
  btnTranslate->setDefault(true);

  rgDirection = Named(new QGroupBox(QStringLiteral("Translation Direction"), this), "rgDirection");
  rgDirection->setGeometry(12, 429, 475, 48);
  rbEngToChn =
      Named(new QRadioButton(QStringLiteral("English to Chinese"), rgDirection), "rbEngToChn");
  rbEngToChn->setGeometry(27, 20, 203, 17);
  rbEngToChn->setChecked(true);
  rbChnToEng =
      Named(new QRadioButton(QStringLiteral("Chinese to English"), rgDirection), "rbChnToEng");
  rbChnToEng->setGeometry(251, 20, 203, 17);

  ImgLoad = Named(new QLabel(this), "ImgLoad");
  ImgLoad->setGeometry(229, 223, 16, 13);
  ImgLoad->setAlignment(Qt::AlignCenter);
  ExposeOnly(ImgLoad, {QStringLiteral("Hint")});

  Bar = Named(new QStatusBar(this), "Bar");
  Bar->setSizeGripEnabled(false);
  Bar->setGeometry(0, 523, 528, 22);
  // The single panel; unnamed, so only code writes its text.
  FBarPanel = new QLabel(Bar);
  FBarPanel->setTextFormat(Qt::PlainText);
  Bar->addWidget(FBarPanel, 1);
  ExposeOnly(Bar, {QStringLiteral("Hint")});
  Bar->setProperty("langOpaque", true);

  E1 = Pane(this, "E1", {8, 37, 478, 180}, 0);
  e2 = Pane(this, "e2", {8, 245, 478, 180}, 1);

  // Keyboard order; the glyph buttons take no focus at all.
  setTabOrder(E1, e2);
  setTabOrder(e2, rbEngToChn);
  setTabOrder(rbEngToChn, rbChnToEng);
  setTabOrder(rbChnToEng, btnHelp);
  setTabOrder(btnHelp, btnTranslate);
  E1->setFocus();
}

void TfrmMain::CreateCommandColumn() {
  const QString open = QStringLiteral("Open");
  const QString clear = QStringLiteral("Clear");
  const QString save = QStringLiteral("Save");
  const QString copy = QStringLiteral("Copy To Clipboard");
  const QString paste = QStringLiteral("Paste From Clipboard");
  // Design order; the tops put five buttons beside each pane and the swap
  // button between them.
  btnPaste = GlyphButton(this, "btnPaste", QStringLiteral("paste"), 172, paste, 0);
  btnCopy = GlyphButton(this, "btnCopy", QStringLiteral("copy"), 142, copy, 0);
  btnSwap = GlyphButton(this, "btnSwap", QStringLiteral("swap"), 215, QStringLiteral("Swap"), 0);
  btnClear = GlyphButton(this, "btnClear", QStringLiteral("clear"), 82, clear, 0);
  btnClear2 = GlyphButton(this, "btnClear2", QStringLiteral("clear"), 260, clear, 1);
  btnPrint =
      GlyphButton(this, "btnPrint", QStringLiteral("print"), 380, QStringLiteral("Print"), 0);
  btnOpen = GlyphButton(this, "btnOpen", QStringLiteral("open"), 52, open, 0);
  btnCopy2 = GlyphButton(this, "btnCopy2", QStringLiteral("copy"), 320, copy, 1);
  btnPaste2 = GlyphButton(this, "btnPaste2", QStringLiteral("paste"), 350, paste, 1);
  btnSave2 = GlyphButton(this, "btnSave2", QStringLiteral("save"), 290, save, 1);
  btnSave = GlyphButton(this, "btnSave", QStringLiteral("save"), 112, save, 0);
}

void TfrmMain::CreateHelpMenu() {
  pmHelp = Named(new QMenu(this), "pmHelp");
  const auto item = [this](const char* name, const QString& caption, const QString& glyph) {
    QAction* action = Named(pmHelp->addAction(Glyph(glyph), caption), name);
    action->setIconVisibleInMenu(true);
    return action;
  };
  miOptions = item("miOptions", QStringLiteral("Options"), QStringLiteral("options"));
  Named(pmHelp->addSeparator(), "N1");
  miWebSite = item("miWebSite", QStringLiteral("Visit Home"), QStringLiteral("website"));
  miContactUs = item("miContactUs", QStringLiteral("Contact Us"), QStringLiteral("contact"));
  Named(pmHelp->addSeparator(), "N2");
  miAbout = item("miAbout", QStringLiteral("About"), QStringLiteral("about"));

  dgOpen.DefaultExt = QStringLiteral("txt");
  dgOpen.Filter = QStringLiteral("Text Documents(*.txt)|*.txt");
}

void TfrmMain::CreateLocalisers() {
  smlFormLangRes1 = CreateFormLocaliser(this, {QStringLiteral("Caption"), QStringLiteral("Hint")});
  smlMenuLangRes1 = CreateMenuLocaliser(this, pmHelp);
  smlMsgLangRes1 = CreateMsgLocaliser(this, {QStringLiteral("strInfomation=Information"),
                                             QStringLiteral("strEnglish=English"),
                                             QStringLiteral("strChinese=Chinese")});
}
