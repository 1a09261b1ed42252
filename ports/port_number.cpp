#include "ports/port_number.h"

#include <cstdint>

namespace {

const WCHAR kUsbPortPrefix[] = TEXT("USB");
constexpr std::size_t kMinimumDigits = 3;
constexpr std::uint64_t kLargestPortNumber = 0xFFFFFFFF;

}  // namespace

int FormatUsbPortName(const WCHAR (&number)[kValueTextWidth], WideString& port) {
  std::uint64_t value = 0;
  std::size_t length = 0;
  for (; length < kValueTextWidth && number[length] != 0; ++length) {
    const WCHAR c = number[length];
    if (c < TEXT('0') || c > TEXT('9')) return 0;
    value = value * 10 + static_cast<std::uint64_t>(c - TEXT('0'));
    if (value > kLargestPortNumber) return 0;
  }
  if (length == 0 || length == kValueTextWidth) return 0;
  WideString digits;
  do {
    digits.insert(digits.begin(), static_cast<WCHAR>(TEXT('0') + value % 10));
    value /= 10;
  } while (value != 0);
  if (digits.size() < kMinimumDigits) digits.insert(0, kMinimumDigits - digits.size(), TEXT('0'));
  port = kUsbPortPrefix + digits;
  return 1;
}
