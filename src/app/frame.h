#pragma once

#include <QWidget>

// A reusable group of controls placed inside a form. It can own localisers of
// its own, whose texts live in the section named after the frame's class.
class TFrame : public QWidget {
  Q_OBJECT

public:
  explicit TFrame(QWidget* parent = nullptr) : QWidget(parent) {}
};
