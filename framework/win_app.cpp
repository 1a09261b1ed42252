#include "framework/win_app.h"

#include <cstdlib>

#include "platform/dll_search.h"
#include "platform/win32.h"

namespace {

CWinApp* g_pApp = nullptr;

}  // namespace

CWinApp::CWinApp() { g_pApp = this; }

CWinApp::~CWinApp() { g_pApp = nullptr; }

CWinApp* AfxGetApp() { return g_pApp; }

// The handler std::terminate calls, which the window procedures and the entry point, catching
// everything, leave nothing to call it for. It replaces the standard library's own handler,
// which would describe the exception on a console that this program does not have, and which
// alone would bring some 70 KB of name demangling and formatting into the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }  // NOLINT(bugprone-reserved-identifier)
}  // namespace __gnu_cxx

// The program's entry point. Nothing unwinds out of it: an exception that reaches it (memory
// exhaustion outside any window procedure) ends the process with exit code 1. Static
// initialisation before it loads no library, so narrowing the library search here comes
// before any library the program loads by name.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  RestrictDllSearchToSystemFolder();
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  try {
    app->InitInstance();
  } catch (...) {
    return 1;
  }
  return 0;
}
