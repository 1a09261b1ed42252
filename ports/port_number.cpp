#include "ports/port_number.h"

#include <cstdint>

#include "platform/wide_text.h"

namespace {

const WCHAR kUsbPortPrefix[] = TEXT("USB");
constexpr std::size_t kPrefixLength = sizeof(kUsbPortPrefix) / sizeof(WCHAR) - 1;
constexpr std::size_t kMinimumDigits = 3;
constexpr std::uint64_t kLargestPortNumber = 0xFFFFFFFF;
// 4294967295 has ten digits.
constexpr std::size_t kMaximumDigits = 10;

}  // namespace

int FormatUsbPortName(const WCHAR (&number)[kValueTextWidth], PortNameText& port) {
  std::uint64_t value = 0;
  std::size_t length = 0;
  for (; length < kValueTextWidth && number[length] != 0; ++length) {
    const WCHAR c = number[length];
    if (c < TEXT('0') || c > TEXT('9')) return 0;
    value = value * 10 + static_cast<std::uint64_t>(c - TEXT('0'));
    if (value > kLargestPortNumber) return 0;
  }
  if (length == 0 || length == kValueTextWidth) return 0;
  WCHAR name[kPrefixLength + kMaximumDigits + 1] = {};
  if (!WideCopy(name, kUsbPortPrefix) || !WideAppendDecimal(name, value, kMinimumDigits)) {
    return 0;
  }
  return port.Assign(name) ? 1 : 0;
}
