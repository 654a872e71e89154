#pragma once

#include "app/frm_Root.h"

// The main window. For now only its start-up steps and an empty client area.
class TfrmMain : public TfrmRoot {
  Q_OBJECT

public:
  explicit TfrmMain(QWidget* parent = nullptr);

  // The window's own creation step; it does without the base form's.
  void FormCreate(QObject* sender);
};
