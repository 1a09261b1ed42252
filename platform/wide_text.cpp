#include "platform/wide_text.h"

std::size_t WideLength(const WCHAR* text) {
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

std::size_t WideLengthWithin(const WCHAR* text, std::size_t limit) {
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
  const std::size_t start = WideLength(target);
  const std::size_t added = WideLength(source);
  if (start >= capacity || added >= capacity - start) return false;
  for (std::size_t i = 0; i < added; ++i) target[start + i] = source[i];
  target[start + added] = 0;
  return true;
}
