#pragma once

#include "lang/lang_res.h"

#include <QStringList>

// Localises a whole window: its font, its own named properties and those of
// every component it owns, in design order (see FormComponents).
class TsmlFormLangRes : public TsmlLangRes {
  Q_OBJECT

public:
  explicit TsmlFormLangRes(QObject* owner);

  const QStringList& StringProperties() const { return FStringProperties; }
  void SetStringProperties(const QStringList& value);
  const QStringList& StringsProperties() const { return FStringsProperties; }
  void SetStringsProperties(const QStringList& value);
  // Component names to leave alone; letter case counts.
  const QStringList& IgnoreControls() const { return FIgnoreControls; }
  void SetIgnoreControls(const QStringList& value);

  bool IgnoreFormCaption() const { return FIgnoreFormCaption; }
  void SetIgnoreFormCaption(bool value);
  bool IncludeListViewItems() const { return FIncludeListViewItems; }
  void SetIncludeListViewItems(bool value);
  bool IncludeListViewHead() const { return FIncludeListViewHead; }
  void SetIncludeListViewHead(bool value);
  bool IncludeTreeViewItems() const { return FIncludeTreeViewItems; }
  void SetIncludeTreeViewItems(bool value);

protected:
  void ApplyLanguage() override;

private:
  void ApplyComponent(QObject* component);
  void ApplyNamedProperties(QObject* component);

  QStringList FStringProperties{QStringLiteral("Caption")};
  QStringList FStringsProperties{QStringLiteral("Tabs"), QStringLiteral("Items")};
  QStringList FIgnoreControls;
  bool FIgnoreFormCaption = false;
  bool FIncludeListViewItems = false;
  bool FIncludeListViewHead = false;
  bool FIncludeTreeViewItems = false;
};
