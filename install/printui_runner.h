// Running the platform's printer user-interface entry point through the machine's own
// rundll32, with a bounded wait.
#pragma once

#include "platform/unique_handle.h"
#include "platform/win32.h"

constexpr DWORD kCommandTimeoutMs = 120000;

// Starts "<native system folder>\rundll32.exe <command>" in the system folder, with an
// environment of the system's own values, and waits for it at most two minutes. Returns 1
// once the command was launched (whatever it then did), with its process in process (still
// running when the wait ran out); or 0 after telling the user why the launch failed. When the
// system's folders cannot be told or a path would not fit, that is a failed launch: the box
// gives the reason's text.
int RunPrintUiCommand(const WCHAR* command, UniqueKernelHandle& process);
