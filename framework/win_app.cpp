#include "framework/win_app.h"

#include <cstdlib>

#include "platform/dll_search.h"
#include "platform/win32.h"

namespace {

CWinApp* g_pApp = nullptr;

}  // namespace

CWinApp::CWinApp() { g_pApp = this; }

CWinApp::~CWinApp() { g_pApp = nullptr; }

// What std::terminate calls; the window procedures and the entry point catch everything, so
// nothing should. It replaces the library's own handler, which would describe the exception
// on a console this program does not have, with some 70 KB of demangling and formatting.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }  // NOLINT(bugprone-reserved-identifier)
}  // namespace __gnu_cxx

// The program's entry point and its exit code: 0 once InitInstance has returned, 1 when there
// is no application object or an exception reaches here (memory exhaustion outside any window
// procedure). Static initialisation loads no library, so narrowing the library search here
// comes before any library the program loads by name.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  RestrictDllSearchToSystemFolder();
  if (g_pApp == nullptr) return 1;
  try {
    g_pApp->InitInstance();
  } catch (...) {
    return 1;
  }
  return 0;
}
