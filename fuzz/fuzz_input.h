// What the fuzz targets share: a failed check aborts, which libFuzzer reports with the input;
// and the input read as UTF-16 text, its bytes little-endian pairs up to the first NUL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/win32.h"

inline void Require(bool condition) {
  if (!condition) std::abort();
}

inline std::basic_string<WCHAR> Utf16Text(const std::uint8_t* data, std::size_t size) {
  std::basic_string<WCHAR> text;
  for (std::size_t i = 0; i + 1 < size && (data[i] != 0 || data[i + 1] != 0); i += 2) {
    text += static_cast<WCHAR>(data[i] | (data[i + 1] << 8));
  }
  return text;
}
