// The text type in which port discovery hands back IDs, port names and port lists: a standard
// string of the platform's wide characters, the same type on Windows (wchar_t) and in the
// native build (char16_t). The wizard converts it to its own string class where it shows it.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

using WideString = std::basic_string<WCHAR>;
using WideStringList = std::vector<WideString>;
