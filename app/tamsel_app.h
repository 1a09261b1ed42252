// The application: it checks where it was started from, then runs the wizard once, modally,
// inside its start-up hook, and ends.
#pragma once

#include "framework/win_app.h"

class CTamselApp : public CWinApp {
 public:
  bool InitInstance() override;
};
