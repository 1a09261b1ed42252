// The application object: exactly one, a global of the program, constructed during static
// initialisation. The framework's entry point (wWinMain) calls its start-up hook, and the
// process ends when the hook returns. There is no main window and so no message loop: an
// application does all its work, a modal wizard, inside InitInstance.
#pragma once

#include "framework/cstring.h"

class CWinApp {
 public:
  CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();

  // The start-up hook. Its result is not used: every return ends the application.
  virtual bool InitInstance() = 0;

 protected:
  // Names the root under which the framework would keep the application's settings. This
  // framework writes no settings, so nothing is ever stored under it.
  void SetRegistryKey(const wchar_t* pszRegistryKey) { m_strRegistryKey = pszRegistryKey; }

 private:
  CString m_strRegistryKey;
};
