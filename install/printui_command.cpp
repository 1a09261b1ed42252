#include "install/printui_command.h"

const WCHAR kInstallTemplate[] =
    TEXT("PRINTUI.DLL,PrintUIEntry /if /n \"%s\" /f \"%s\" /r \"%s\" /m \"%s\" ");
const WCHAR kSetDefaultTemplate[] = TEXT("PRINTUI.DLL,PrintUIEntry /y /q /n \"%s\"");

bool IsQuotableArgument(const WCHAR* argument) {
  std::size_t length = 0;
  for (; argument[length] != 0; ++length) {
    if (argument[length] == TEXT('"')) return false;
  }
  // Backslashes count only before a quotation mark: a trailing run would escape the closing
  // quote (an odd run) or be halved (an even one).
  return length == 0 || argument[length - 1] != TEXT('\\');
}

int FormatCommandList(WCHAR (&buffer)[kCommandWidth], const WCHAR* format,
                      std::initializer_list<const WCHAR*> arguments) {
  const WCHAR* const* next = arguments.begin();
  std::size_t used = 0;
  const auto put = [&](WCHAR c) {
    if (used + 1 >= kCommandWidth) return false;
    buffer[used++] = c;
    return true;
  };
  bool fits = true;
  for (const WCHAR* f = format; fits && *f != 0; ++f) {
    if (f[0] == TEXT('%') && f[1] == TEXT('s')) {
      ++f;
      if (next == arguments.end() || !IsQuotableArgument(*next)) {
        fits = false;
        break;
      }
      for (const WCHAR* a = *next++; fits && *a != 0; ++a) fits = put(*a);
    } else {
      fits = put(*f);
    }
  }
  if (!fits || next != arguments.end()) {
    buffer[0] = 0;
    return 0;
  }
  buffer[used] = 0;
  return 1;
}

const WCHAR* LaunchErrorText(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return TEXT("The specified file was not found.");
    case ERROR_PATH_NOT_FOUND:
      return TEXT("The specified path was not found.");
    case ERROR_ACCESS_DENIED:
      return TEXT("Access to the specified file is denied.");
    case ERROR_NOT_ENOUGH_MEMORY:
      return TEXT("There is not enough memory to perform the specified action.");
    case ERROR_SHARING_VIOLATION:
      return TEXT("A sharing violation occurred.");
    case ERROR_NO_ASSOCIATION:
      return TEXT("There is no application associated with the given file name extension.");
    case ERROR_DDE_FAIL:
      return TEXT("The Dynamic Data Exchange (DDE) transaction failed.");
    case ERROR_DLL_NOT_FOUND:
      return TEXT("One of the library files necessary to run the application can't be found.");
    case ERROR_CANCELLED:
      return TEXT(
          "The function prompted the user for additional information, but the user canceled "
          "the request.");
    default:
      return TEXT("Other error occurred.");
  }
}
