#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

// A frame as the window layer defines one: the localisers know it by its
// class name, which moc takes with its namespace, so it lives outside any.
class TFrame : public QWidget {
  Q_OBJECT

public:
  using QWidget::QWidget;
};

// A small window with one control of each common kind, named the way the
// program's windows name theirs.
class TfrmSample : public QWidget {
  Q_OBJECT

public:
  TfrmSample() {
    setObjectName(QStringLiteral("frmSample"));
    setWindowTitle(QStringLiteral("Sample Window"));
    setFont(QFont(QStringLiteral("Tahoma"), 9));
    labName = Named(new QLabel(QStringLiteral("Name :"), this), "labName");
    btnGo = Named(new QPushButton(QStringLiteral("&Go"), this), "btnGo");
    btnGo->setToolTip(QStringLiteral("Go now"));
    chkOpt = Named(new QCheckBox(QStringLiteral("Remember"), this), "chkOpt");
    rgBox = Named(new QGroupBox(QStringLiteral("Direction"), this), "rgBox");
    rbA = Named(new QRadioButton(QStringLiteral("Forward"), rgBox), "rbA");
    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    tsFirst = Named(new QWidget, "tsFirst");
    PageControl1->addTab(tsFirst, QStringLiteral("First"));
    tsSecond = Named(new QWidget, "tsSecond");
    PageControl1->addTab(tsSecond, QStringLiteral("Second"));
    labOnPage = Named(new QLabel(QStringLiteral("On a page"), tsSecond), "labOnPage");
    tbTabs = Named(new QTabBar(this), "tbTabs");
    tbTabs->addTab(QStringLiteral("One"));
    tbTabs->addTab(QStringLiteral("Two"));
    cmbPick = Named(new QComboBox(this), "cmbPick");
    cmbPick->addItems({QStringLiteral("Red"), QStringLiteral("Green")});
    edtName = Named(new QLineEdit(QStringLiteral("typed"), this), "edtName");
    tmrTick = Named(new QTimer(this), "tmrTick");
  }

  QLabel* labName = nullptr;
  QPushButton* btnGo = nullptr;
  QCheckBox* chkOpt = nullptr;
  QGroupBox* rgBox = nullptr;
  QRadioButton* rbA = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget* tsFirst = nullptr;
  QWidget* tsSecond = nullptr;
  QLabel* labOnPage = nullptr;
  QTabBar* tbTabs = nullptr;
  QComboBox* cmbPick = nullptr;
  QLineEdit* edtName = nullptr;
  QTimer* tmrTick = nullptr;

private:
  template <class T> static T* Named(T* object, const char* name) {
    object->setObjectName(QLatin1String(name));
    return object;
  }
};
