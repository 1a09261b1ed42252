// The application object: exactly one, a global of the program, constructed during static
// initialisation. The framework's entry point (wWinMain) calls its start-up hook, and the
// process ends when the hook returns. The framework has no main window and so no message
// loop of its own: an application does all its work, a modal wizard, inside InitInstance.
#pragma once

#include "framework/cstring.h"

class CWinApp {
 public:
  CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();

  // The start-up hook. Returning false ends the application at once, as does every return:
  // there is no message loop to enter.
  virtual bool InitInstance() = 0;

 protected:
  // Names the root under which the framework would keep the application's settings. This
  // framework writes no settings, so nothing is ever stored under it.
  void SetRegistryKey(const wchar_t* pszRegistryKey) { m_strRegistryKey = pszRegistryKey; }

 private:
  CString m_strRegistryKey;
};

// The one application object, or nullptr before it is constructed.
CWinApp* AfxGetApp();
