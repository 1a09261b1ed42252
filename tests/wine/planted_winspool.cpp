// An impostor that a test plants beside the installer under the spooler library's name,
// winspool.drv: when loaded it records in the stand-in's log that it was. The installer must
// never load it.
#include <windows.h>

#include "tests/wine/standin_log.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) AppendStandinLog(L"PLANTED winspool.drv");
  return TRUE;
}
