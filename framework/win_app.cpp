#include "framework/win_app.h"

#include <cstdlib>

#include "platform/dll_search.h"
#include "platform/win32.h"

namespace {

CWinApp* g_pApp = nullptr;

}  // namespace

CWinApp::CWinApp() { g_pApp = this; }

// What std::terminate calls (nothing should: every boundary catches). The library's own would
// describe the exception on a console this program lacks, with 70 KB of demangling.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }  // NOLINT(bugprone-reserved-identifier)
}  // namespace __gnu_cxx

// Exit code 0 once InitInstance has returned, else 1 (no application object, or memory ran out
// outside any window procedure), or 2 without any window where the library search cannot be
// kept out of the program's folder. Static initialisation loads no library, so this comes first.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  if (!RestrictDllSearchToSystemFolder()) return 2;
  if (g_pApp == nullptr) return 1;
  try {
    g_pApp->InitInstance();
  } catch (...) {
    return 1;
  }
  return 0;
}
