#include "lang/form_components.h"
#include "lang/form_lang_res.h"
#include "lang_test_support.h"
#include "sample_form.h"
#include "settings/ini_file.h"

#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QMenu>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTreeWidget>

class TfraAddress : public TFrame {
  Q_OBJECT
public:
  explicit TfraAddress(QWidget* parent) : TFrame(parent) {
    setObjectName(QStringLiteral("fraAddress"));
    labStreet = new QLabel(QStringLiteral("Street :"), this);
    labStreet->setObjectName(QStringLiteral("labStreet"));
  }
  QLabel* labStreet = nullptr;
};

namespace {

class TFormLangResTest : public TLangTest {
protected:
  TsmlFormLangRes* Apply(const QString& file,
                         const QStringList& stringProperties = {QStringLiteral("Caption"),
                                                                QStringLiteral("Hint")}) {
    if (!FSml) {
      FSml = new TsmlFormLangRes(&FForm);
      FSml->SetAutoCreateMode(false);
      FSml->SetStringProperties(stringProperties);
      FSml->SetActive(true);
    }
    FSml->SetLangFileName(QStringLiteral(".\\Languages\\") + file);
    return FSml;
  }

  TfrmSample FForm;
  TsmlFormLangRes* FSml = nullptr;
};

TEST_F(TFormLangResTest, CaptionsHintsTabsAndItemsComeFromTheFile) {
  WriteLang(QStringLiteral("de.lng"), "[TfrmSample]\n"
                                      "labName_Caption=Name :\n"
                                      "btnGo_Caption=&Los\n"
                                      "btnGo_Hint=Jetzt los\n"
                                      "chkOpt_Caption=Merken\n"
                                      "rgBox_Caption=Richtung\n"
                                      "rbA_Caption=Vorw\xC3\xA4rts\n"
                                      "tsFirst_Caption=Erste\n"
                                      "tsSecond_Caption=Zweite\n"
                                      "labOnPage_Caption=Auf einer Seite\n"
                                      "tbTabs_Tabs[0]=Eins\n"
                                      "tbTabs_Tabs[1]=Zwei\n"
                                      "tbTabs_Tabs[2]=Drei\n"
                                      "cmbPick_Items[1]=Gr\xC3\xBCn\n"
                                      "edtName_Hint=Ihr Name\n"
                                      "frmSample_Hint=Fensterhinweis\n");
  Apply(QStringLiteral("de.lng"));
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("&Los"));
  EXPECT_EQ(FForm.btnGo->toolTip(), QStringLiteral("Jetzt los"));
  EXPECT_EQ(FForm.chkOpt->text(), QStringLiteral("Merken"));
  EXPECT_EQ(FForm.rgBox->title(), QStringLiteral("Richtung"));
  EXPECT_EQ(FForm.rbA->text(), QStringLiteral("Vorwärts"));
  EXPECT_EQ(FForm.PageControl1->tabText(0), QStringLiteral("Erste"));
  EXPECT_EQ(FForm.PageControl1->tabText(1), QStringLiteral("Zweite"));
  EXPECT_EQ(FForm.labOnPage->text(), QStringLiteral("Auf einer Seite"));
  // Lines are replaced in place, never added.
  EXPECT_EQ(FForm.tbTabs->count(), 2);
  EXPECT_EQ(FForm.tbTabs->tabText(1), QStringLiteral("Zwei"));
  EXPECT_EQ(FForm.cmbPick->count(), 2);
  EXPECT_EQ(FForm.cmbPick->itemText(0), QStringLiteral("Red"));
  EXPECT_EQ(FForm.cmbPick->itemText(1), QStringLiteral("Grün"));
  EXPECT_EQ(FForm.edtName->toolTip(), QStringLiteral("Ihr Name"));
  EXPECT_EQ(FForm.edtName->text(), QStringLiteral("typed"));
  EXPECT_EQ(FForm.toolTip(), QStringLiteral("Fensterhinweis"));
}

TEST_F(TFormLangResTest, OnlyTheNamedPropertiesAreTranslated) {
  WriteLang(QStringLiteral("de.lng"), "[TfrmSample]\nbtnGo_Caption=&Los\nbtnGo_Hint=Jetzt los\n");
  Apply(QStringLiteral("de.lng"), {QStringLiteral("Caption")});
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("&Los"));
  EXPECT_EQ(FForm.btnGo->toolTip(), QStringLiteral("Go now"));
}

TEST_F(TFormLangResTest, AMissingOrEmptyValueKeepsTheTextOfTheLanguageBefore) {
  WriteLang(QStringLiteral("a.lng"),
            "[TfrmSample]\nbtnGo_Caption=&Los\nlabName_Caption=Name :\nchkOpt_Caption=Merken\n");
  WriteLang(QStringLiteral("b.lng"), "[TfrmSample]\nbtnGo_Caption=\nchkOpt_Caption=Retenir\n");
  Apply(QStringLiteral("a.lng"));
  Apply(QStringLiteral("b.lng"));
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("&Los"));
  EXPECT_EQ(FForm.labName->text(), QStringLiteral("Name :"));
  EXPECT_EQ(FForm.chkOpt->text(), QStringLiteral("Retenir"));
}

TEST_F(TFormLangResTest, TheWindowCaptionCanBeLeftAlone) {
  WriteLang(
      QStringLiteral("de.lng"),
      "[TfrmSample]\nfrmSample_Caption=Beispiel\nfrmSample_Hint=Hinweis\nbtnGo_Caption=&Los\n");
  TsmlFormLangRes* sml = Apply(QStringLiteral("de.lng"));
  EXPECT_EQ(FForm.windowTitle(), QStringLiteral("Beispiel"));
  FForm.setWindowTitle(QStringLiteral("Sample Window"));
  FForm.btnGo->setText(QStringLiteral("&Go"));
  sml->SetIgnoreFormCaption(true);
  EXPECT_EQ(FForm.windowTitle(), QStringLiteral("Sample Window"));
  EXPECT_EQ(FForm.toolTip(), QStringLiteral("Hinweis"));
  // Only the window's own caption: its controls' captions still change.
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("&Los"));
}

TEST_F(TFormLangResTest, IgnoredControlsAreMatchedExactly) {
  WriteLang(QStringLiteral("de.lng"),
            "[TfrmSample]\nbtnGo_Caption=&Los\nlabName_Caption=Name :\nchkOpt_Caption=Merken\n");
  TsmlFormLangRes* sml = Apply(QStringLiteral("de.lng"));
  FForm.btnGo->setText(QStringLiteral("&Go"));
  FForm.chkOpt->setText(QStringLiteral("Remember"));
  sml->SetIgnoreControls({QStringLiteral("btnGo"), QStringLiteral("CHKOPT")});
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("&Go"));
  EXPECT_EQ(FForm.chkOpt->text(), QStringLiteral("Merken"));
}

TEST_F(TFormLangResTest, OtherSectionsAndOtherWindowsAreNotRead) {
  WriteLang(QStringLiteral("de.lng"), "[TfrmOther]\nbtnGo_Caption=Falsch\n"
                                      "[TfrmSample]\nlabName_Caption=Richtig\n");
  // A dialog inside the window's tree is a window of its own.
  auto* dialog = new QDialog(&FForm);
  auto* inDialog = new QPushButton(QStringLiteral("Inside"), dialog);
  inDialog->setObjectName(QStringLiteral("labName"));
  Apply(QStringLiteral("de.lng"));
  EXPECT_EQ(FForm.btnGo->text(), QStringLiteral("&Go"));
  EXPECT_EQ(FForm.labName->text(), QStringLiteral("Richtig"));
  EXPECT_EQ(inDialog->text(), QStringLiteral("Inside"));
}

TEST_F(TFormLangResTest, MenuItemsAreLeftToTheMenuLocaliser) {
  auto* item = new QAction(QStringLiteral("Options"), &FForm);
  item->setObjectName(QStringLiteral("miOptions"));
  WriteLang(QStringLiteral("de.lng"), "[TfrmSample]\nmiOptions_Caption=Optionen\n");
  Apply(QStringLiteral("de.lng"));
  EXPECT_EQ(item->text(), QStringLiteral("Options"));
}

TEST_F(TFormLangResTest, ListTreeHeaderAndGridTextsByIndex) {
  auto* lvFiles = new QTableWidget(2, 3, &FForm);
  lvFiles->setObjectName(QStringLiteral("lvFiles"));
  lvFiles->setHorizontalHeaderLabels(
      {QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Type")});
  lvFiles->setItem(0, 0, new QTableWidgetItem(QStringLiteral("a.txt")));
  lvFiles->setItem(0, 1, new QTableWidgetItem(QStringLiteral("1 KB")));
  lvFiles->setItem(1, 0, new QTableWidgetItem(QStringLiteral("b.txt")));

  auto* tvTree = new QTreeWidget(&FForm);
  tvTree->setObjectName(QStringLiteral("tvTree"));
  auto* root = new QTreeWidgetItem(tvTree, {QStringLiteral("Root")});
  new QTreeWidgetItem(root, {QStringLiteral("Child")});
  new QTreeWidgetItem(tvTree, {QStringLiteral("Second root")});

  auto* hcHead = new QHeaderView(Qt::Horizontal, &FForm);
  hcHead->setObjectName(QStringLiteral("hcHead"));
  auto* headModel = new QStandardItemModel(0, 2, hcHead);
  headModel->setHorizontalHeaderLabels({QStringLiteral("Left"), QStringLiteral("Right")});
  hcHead->setModel(headModel);

  auto* dgGrid = new QTableView(&FForm);
  dgGrid->setObjectName(QStringLiteral("dgGrid"));
  auto* gridModel = new QStandardItemModel(1, 2, dgGrid);
  gridModel->setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("Value")});
  dgGrid->setModel(gridModel);

  WriteLang(QStringLiteral("de.lng"), "[TfrmSample]\n"
                                      "lvFiles_ColumnCaption[1]=Gr\xC3\xB6\xC3\x9F\x65\n"
                                      "lvFiles_ItemCaption[1]=b.txt (de)\n"
                                      "lvFiles_SubItem[0]Caption[0]=1 KiB\n"
                                      "lvFiles_SubItem[1]Caption[1]=Text\n"
                                      "tvTree_ItemText[1]=Kind\n"
                                      "tvTree_ItemText[2]=Zweite Wurzel\n"
                                      "tvTree_Hint=Baum\n"
                                      "hcHead_SectionsText[1]=Rechts\n"
                                      "dgGrid_ColumnsCaption[0]=Schl\xC3\xBCssel\n");
  TsmlFormLangRes* sml = Apply(QStringLiteral("de.lng"));
  // Headers and grids always; list views only as their flags say.
  EXPECT_EQ(lvFiles->horizontalHeaderItem(1)->text(), QStringLiteral("Size"));
  sml->SetIncludeListViewHead(true);
  EXPECT_EQ(lvFiles->horizontalHeaderItem(1)->text(), QStringLiteral("Größe"));
  EXPECT_EQ(lvFiles->item(1, 0)->text(), QStringLiteral("b.txt"));
  EXPECT_EQ(hcHead->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Rechts"));
  EXPECT_EQ(gridModel->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Schlüssel"));
  // A tree view without its flag is an ordinary control.
  EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Child"));
  EXPECT_EQ(tvTree->toolTip(), QStringLiteral("Baum"));

  sml->SetIncludeListViewItems(true);
  sml->SetIncludeTreeViewItems(true);
  EXPECT_EQ(lvFiles->item(1, 0)->text(), QStringLiteral("b.txt (de)"));
  EXPECT_EQ(lvFiles->item(0, 1)->text(), QStringLiteral("1 KiB"));
  EXPECT_EQ(lvFiles->item(1, 2)->text(), QStringLiteral("Text"));
  EXPECT_EQ(root->text(0), QStringLiteral("Root"));
  EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Kind"));
  EXPECT_EQ(tvTree->topLevelItem(1)->text(0), QStringLiteral("Zweite Wurzel"));
}

TEST_F(TFormLangResTest, ComponentsAreWalkedInDesignOrder) {
  auto* opaque = new QWidget(&FForm);
  opaque->setObjectName(QStringLiteral("E1"));
  opaque->setProperty("langOpaque", true);
  (new QWidget(opaque))->setObjectName(QStringLiteral("innerPart"));
  (new QWidget(&FForm))->setObjectName(QStringLiteral("qt_internal"));
  auto* popup = new QMenu(&FForm);
  popup->setObjectName(QStringLiteral("pmHelp"));

  QStringList names;
  for (QObject* component : FormComponents(&FForm))
    names.append(component->objectName());
  EXPECT_EQ(names, QStringList({"labName", "btnGo", "chkOpt", "rgBox", "rbA", "PageControl1",
                                "tsFirst", "tsSecond", "labOnPage", "tbTabs", "cmbPick", "edtName",
                                "tmrTick", "E1"}));
}

TEST_F(TFormLangResTest, AFrameHasASectionOfItsOwn) {
  auto* frame = new TfraAddress(&FForm);
  auto* sml = new TsmlFormLangRes(frame);
  sml->SetAutoCreateMode(false);
  WriteLang(QStringLiteral("de.lng"), "[TfraAddress]\nlabStreet_Caption=Stra\xC3\x9F\x65 :\n"
                                      "labName_Caption=Falsch\n"
                                      "[TfrmSample]\nlabStreet_Caption=Falsch\n");
  sml->SetLangFileName(QStringLiteral("Languages/de.lng"));
  sml->SetActive(true);
  EXPECT_EQ(frame->labStreet->text(), QStringLiteral("Straße :"));
  EXPECT_EQ(FForm.labName->text(), QStringLiteral("Name :"));
}

} // namespace

#include "form_lang_res_test.moc"
