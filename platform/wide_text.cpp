#include "platform/wide_text.h"

std::size_t WideLength(const WCHAR* text, std::size_t limit) {
  std::size_t length = 0;
  while (length < limit && text[length] != 0) ++length;
  return length;
}

bool WideEqual(const WCHAR* a, const WCHAR* b) {
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

bool WideStartsWith(const WCHAR* text, const WCHAR* prefix) {
  for (; *prefix != 0; ++prefix, ++text) {
    if (*text != *prefix) return false;
  }
  return true;
}

bool WideCopy(WCHAR* target, std::size_t capacity, const WCHAR* source) {
  if (capacity == 0) return false;
  target[0] = 0;
  return WideAppend(target, capacity, source);
}

bool WideAppend(WCHAR* target, std::size_t capacity, const WCHAR* source) {
  const std::size_t start = WideLength(target, capacity);
  const std::size_t added = start < capacity ? WideLength(source, capacity - start) : 0;
  if (start >= capacity || added >= capacity - start) return false;
  for (std::size_t i = 0; i < added; ++i) target[start + i] = source[i];
  target[start + added] = 0;
  return true;
}

bool WideAppendDecimal(WCHAR* target, std::size_t capacity, std::uint64_t value,
                       std::size_t minimumDigits) {
  // Written from the last digit backwards: 20 digits hold the largest 64-bit number.
  constexpr std::size_t kWidth = 21;
  WCHAR digits[kWidth] = {};
  std::size_t start = kWidth - 1;
  do {
    digits[--start] = static_cast<WCHAR>(TEXT('0') + value % 10);
    value /= 10;
  } while (start > 0 && (value != 0 || kWidth - 1 - start < minimumDigits));
  return WideAppend(target, capacity, digits + start);
}
