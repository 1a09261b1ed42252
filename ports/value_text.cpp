#include "ports/value_text.h"

#include <cstdint>
#include <cstring>

namespace {

void WriteSignedDecimal(LONG value, WCHAR (&text)[kValueTextWidth]) {
  std::int64_t magnitude = value;
  std::size_t length = 0;
  if (magnitude < 0) {
    text[length++] = TEXT('-');
    magnitude = -magnitude;
  }
  WCHAR reversed[16];
  std::size_t digits = 0;
  do {
    reversed[digits++] = static_cast<WCHAR>(TEXT('0') + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (digits > 0) text[length++] = reversed[--digits];
  text[length] = 0;
}

}  // namespace

int RenderValueText(DWORD type, const BYTE* data, DWORD size, WCHAR (&text)[kValueTextWidth]) {
  if (size > kValueTextBytes) return 0;
  if (type == REG_DWORD) {
    if (size != sizeof(LONG)) return 0;
    LONG value = 0;
    std::memcpy(&value, data, sizeof(value));
    WriteSignedDecimal(value, text);
    return 1;
  }
  const std::size_t characters = size / sizeof(WCHAR);
  std::memcpy(text, data, characters * sizeof(WCHAR));
  text[characters] = 0;
  return 1;
}
