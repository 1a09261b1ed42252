// An impostor that a test plants beside the installer under the spooler library's name,
// winspool.drv: when loaded it records in the stand-in's log that it was, marked "PLANTED",
// and its two functions fail. The installer must never load it.
#include <windows.h>

#include "tests/wine/standin_log.h"

extern "C" __declspec(dllexport) BOOL WINAPI
    EnumPortsW(LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD) {
  return FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI
    EnumPrintersW(DWORD, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD) {
  return FALSE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) AppendStandinLog(L"PLANTED winspool.drv");
  return TRUE;
}
