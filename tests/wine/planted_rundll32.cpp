// An impostor that a test plants beside the installer under the system program's name,
// rundll32.exe: it records in the stand-in's log that it ran, marked "PLANTED", and does
// nothing else. The installer must never start it.
#include <windows.h>

#include "tests/wine/standin_log.h"

int wmain() {
  AppendStandinLog(std::wstring(L"PLANTED ") + GetCommandLineW());
  return 0;
}
