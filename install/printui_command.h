// The printer user-interface entry point's command lines: formatting one into a fixed buffer,
// and the fixed English text for a launch that failed.
#pragma once

#include <cstddef>
#include <initializer_list>

#include "platform/win32.h"

constexpr std::size_t kCommandWidth = 1024;

// The install command's format, filled with the printer name, the INF path, the port and the
// printer name again, each between quotes.
extern const WCHAR kInstallTemplate[];
// The set-as-default command's format, filled with the printer name.
extern const WCHAR kSetDefaultTemplate[];

// True when argument, placed between quotes in a command line, reaches the command as written:
// it holds no quotation mark and does not end in a backslash.
bool IsQuotableArgument(const WCHAR* argument);

// Writes format into the command buffer with each "%s" replaced, in order, by the next
// argument, verbatim. Returns 1, or 0 with the buffer emptied when the text would not fit, the
// arguments do not match the placeholders, or an argument holds a quotation mark or ends in a
// backslash: each argument stands between quotes, and such a text would end its quotes early
// or escape the closing one, changing the command. A cut-short or changed command is never run.
int FormatCommandList(WCHAR (&buffer)[kCommandWidth], const WCHAR* format,
                      std::initializer_list<const WCHAR*> arguments);

template <typename... Arguments>
int FormatCommand(WCHAR (&buffer)[kCommandWidth], const WCHAR* format, Arguments... arguments) {
  return FormatCommandList(buffer, format, {arguments...});
}

// The fixed English text for a launch failure's last-error code.
const WCHAR* LaunchErrorText(DWORD code);
