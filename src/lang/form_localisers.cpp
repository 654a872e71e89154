#include "lang/form_localisers.h"

#include "lang/form_lang_res.h"
#include "lang/menu_lang_res.h"
#include "lang/msg_lang_res.h"

namespace {

// Every setting before Active is only stored; Active applies the file once.
template <class T> T* Prepared(T* localiser, const char* name) {
  localiser->setObjectName(QLatin1String(name));
  localiser->SetAutoCreateMode(false);
  localiser->SetAddBracket(false);
  localiser->SetLangFileName(QStringLiteral("English.ini"));
  return localiser;
}

} // namespace

TsmlFormLangRes* CreateFormLocaliser(QWidget* form, const QStringList& stringProperties,
                                     const QStringList& ignoreControls) {
  auto* localiser = Prepared(new TsmlFormLangRes(form), "smlFormLangRes1");
  localiser->SetStringProperties(stringProperties);
  localiser->SetStringsProperties({QStringLiteral("Tabs")});
  localiser->SetIgnoreControls(ignoreControls);
  localiser->SetIgnoreFormCaption(true);
  localiser->SetIncludeListViewHead(true);
  localiser->SetIncludeListViewItems(false);
  localiser->SetIncludeTreeViewItems(false);
  localiser->SetIgnoreEmptyString(true);
  localiser->SetActive(true);
  return localiser;
}

TsmlMenuLangRes* CreateMenuLocaliser(QWidget* form, QWidget* menu) {
  auto* localiser = Prepared(new TsmlMenuLangRes(form), "smlMenuLangRes1");
  localiser->SetMenu(menu);
  localiser->SetActive(true);
  return localiser;
}

TsmlMsgLangRes* CreateMsgLocaliser(QWidget* form, const QStringList& msgList) {
  auto* localiser = Prepared(new TsmlMsgLangRes(form), "smlMsgLangRes1");
  localiser->SetIgnoreEmptyString(false);
  localiser->SetMsgList(msgList);
  localiser->SetActive(true);
  return localiser;
}
