// A second start-up baseline: a bare Qt program that shows the kinds of
// controls the main window has, at its size, with their texts, and nothing
// of the program's own (no skin, no language file, no icons). The gap
// between it and the empty window is what the toolkit itself costs for
// such a window.
#include "paint_probe.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QWidget>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(528, 545);
  const QStringList captions = {QStringLiteral("Translate from :"), QStringLiteral("English"),
                                QStringLiteral("Translate into :"), QStringLiteral("Chinese")};
  for (int i = 0; i < captions.size(); ++i) {
    auto* label = new QLabel(captions[i], &window);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->move(9 + (i % 2) * 100, i < 2 ? 17 : 223);
  }
  for (const int top : {37, 245}) {
    auto* pane = new QTextEdit(&window);
    pane->setGeometry(8, top, 478, 180);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  }
  for (int i = 0; i < 11; ++i) {
    auto* button = new QPushButton(&window);
    button->setFlat(true);
    button->setGeometry(491, 52 + i * 30, 25, 25);
  }
  auto* help = new QPushButton(QStringLiteral("&Help"), &window);
  help->setGeometry(13, 488, 88, 25);
  auto* translate = new QPushButton(QStringLiteral("&Translate"), &window);
  translate->setGeometry(373, 488, 113, 25);
  auto* direction = new QGroupBox(QStringLiteral("Translation Direction"), &window);
  direction->setGeometry(12, 429, 475, 48);
  auto* toChinese = new QRadioButton(QStringLiteral("English to Chinese"), direction);
  toChinese->setGeometry(27, 20, 203, 17);
  toChinese->setChecked(true);
  auto* toEnglish = new QRadioButton(QStringLiteral("Chinese to English"), direction);
  toEnglish->setGeometry(251, 20, 203, 17);
  auto* bar = new QStatusBar(&window);
  bar->setGeometry(0, 523, 528, 22);
  bar->addWidget(new QLabel(QStringLiteral("Copyright"), bar), 1);
  TPaintProbe probe(&window);
  window.show();
  return app.exec();
}
