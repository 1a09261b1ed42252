// Bounded operations on NUL-terminated UTF-16 text in fixed-width arrays. Every write is
// given the full width of its target, terminator included, and none ever writes past it.
// A text that does not fit is refused, never cut short: a shortened path, port or printer
// name would name something else.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

// The length of text, but at most limit: text is never read past limit characters, so a
// text without its terminator within limit gives limit.
std::size_t WideLength(const WCHAR* text, std::size_t limit);
bool WideEqual(const WCHAR* a, const WCHAR* b);
// True when text begins with the whole of prefix.
bool WideStartsWith(const WCHAR* text, const WCHAR* prefix);

// Copies source into target. When it does not fit, target is left empty and false returned.
bool WideCopy(WCHAR* target, std::size_t capacity, const WCHAR* source);
// Appends source to target. When the result would not fit, target is left as it was.
bool WideAppend(WCHAR* target, std::size_t capacity, const WCHAR* source);
// Appends value in decimal digits, padded with leading zeros to at least minimumDigits (at
// most 20). When the result would not fit, target is left as it was.
bool WideAppendDecimal(WCHAR* target, std::size_t capacity, std::uint64_t value,
                       std::size_t minimumDigits);

template <std::size_t N>
bool WideCopy(WCHAR (&target)[N], const WCHAR* source) {
  return WideCopy(target, N, source);
}
template <std::size_t N>
bool WideAppend(WCHAR (&target)[N], const WCHAR* source) {
  return WideAppend(target, N, source);
}
template <std::size_t N>
bool WideAppendDecimal(WCHAR (&target)[N], std::uint64_t value, std::size_t minimumDigits) {
  return WideAppendDecimal(target, N, value, minimumDigits);
}
