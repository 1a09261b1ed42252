// A UTF-16 text of fixed capacity: N characters, terminator included, held in the object
// itself, so handing text back needs neither the heap nor a standard string. A text that does
// not fit is refused and the old one kept, never cut short: a shortened ID or port name would
// name something else.
#pragma once

#include <cstddef>

#include "platform/wide_text.h"
#include "platform/win32.h"

template <std::size_t N>
class FixedText {
  static_assert(N > 0, "the terminator needs room");

 public:
  // Takes at most count characters of text, fewer when its terminator comes first. Returns
  // false, the text unchanged, when they do not fit with their terminator; text is never
  // read past N characters.
  bool Assign(const WCHAR* text, std::size_t count) {
    const std::size_t length = WideLength(text, count < N ? count : N);
    if (length == N) return false;
    for (std::size_t i = 0; i < length; ++i) m_text[i] = text[i];
    m_text[length] = 0;
    m_length = length;
    return true;
  }
  // Takes the whole of a terminated text, or nothing.
  bool Assign(const WCHAR* text) { return Assign(text, static_cast<std::size_t>(-1)); }

  const WCHAR* c_str() const { return m_text; }
  std::size_t size() const { return m_length; }

  friend bool operator==(const FixedText& a, const FixedText& b) {
    return a.m_length == b.m_length && WideEqual(a.m_text, b.m_text);
  }
  friend bool operator==(const FixedText& a, const WCHAR* b) { return WideEqual(a.m_text, b); }
  friend bool operator!=(const FixedText& a, const WCHAR* b) { return !WideEqual(a.m_text, b); }

 private:
  WCHAR m_text[N] = {};
  std::size_t m_length = 0;
};
