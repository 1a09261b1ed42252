#include "ports/value_text.h"

#include <cstdint>
#include <cstring>

#include "platform/wide_text.h"

int RenderValueText(DWORD type, const BYTE* data, DWORD size, WCHAR (&text)[kValueTextWidth]) {
  if (size > kValueTextBytes) return 0;
  if (type == REG_DWORD) {
    if (size != sizeof(LONG)) return 0;
    LONG value = 0;
    std::memcpy(&value, data, sizeof(value));
    // As "%d" writes it; the magnitude of the most negative value fits 64 bits.
    const std::int64_t number = value;
    WideCopy(text, number < 0 ? TEXT("-") : TEXT(""));
    WideAppendDecimal(text, static_cast<std::uint64_t>(number < 0 ? -number : number), 1);
    return 1;
  }
  const std::size_t characters = size / sizeof(WCHAR);
  std::memcpy(text, data, characters * sizeof(WCHAR));
  text[characters] = 0;
  return 1;
}
