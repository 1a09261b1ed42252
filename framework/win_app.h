// The application object, one global. The entry point calls its start-up hook, which does all
// the work (a modal wizard); the process ends when it returns: no main window, no loop.
#pragma once

class CWinApp {
 public:
  CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp() = default;

  // The start-up hook. Its result is not used: every return ends the application.
  virtual bool InitInstance() = 0;

 protected:
  // Names the settings root; this framework keeps no settings, so it is not even recorded.
  void SetRegistryKey(const wchar_t*) {}
};
