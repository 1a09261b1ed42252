// Launching the platform's printer user-interface entry point: formatting a command line
// into a fixed buffer, and running it through rundll32 with a bounded wait.
#pragma once

#include <cstddef>
#include <initializer_list>

#include "platform/win32.h"

constexpr std::size_t kCommandWidth = 1024;
constexpr DWORD kCommandTimeoutMs = 120000;

// Writes format into the command buffer with each "%s" replaced, in order, by the next
// argument, verbatim. Returns 1, or 0 with the buffer emptied when the text would not fit
// (or the arguments do not match the placeholders): a cut-short command is never run.
int FormatCommandList(WCHAR (&buffer)[kCommandWidth], const WCHAR* format,
                      std::initializer_list<const WCHAR*> arguments);

template <typename... Arguments>
int FormatCommand(WCHAR (&buffer)[kCommandWidth], const WCHAR* format, Arguments... arguments) {
  return FormatCommandList(buffer, format, {arguments...});
}

// The fixed English text for a launch failure's last-error code.
const WCHAR* LaunchErrorText(DWORD code);

// Runs "<native system folder>\rundll32.exe <command>" in the system folder and waits for it
// at most two minutes. Returns 1 once the command was launched (whatever it then did), or 0
// after telling the user why the launch failed. When the system folder cannot be told or its
// path would not fit, that is a failed launch: the box gives the reason's text.
int RunPrintUiCommand(const WCHAR* command);
