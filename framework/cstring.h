// The framework's wide string: UTF-16 text in a reference-counted buffer. Copies share the
// buffer and every change makes a new one, so no holder sees its text change through another.
// For the user-interface thread only (plain counts). A failed allocation throws
// std::bad_alloc, the framework's one exception, which the window procedures catch.
#pragma once

#include <type_traits>

#include "platform/win32.h"

class CString {
 public:
  CString() = default;
  // Implicit, as text converts to the framework's string wherever one is expected.
  CString(const wchar_t* text);  // NOLINT(google-explicit-constructor)
  CString(const CString& other) noexcept;
  CString(CString&& other) noexcept;
  CString& operator=(CString other) noexcept;
  ~CString();

  // Never null: an empty string gives "".
  operator const wchar_t*() const;  // NOLINT(google-explicit-constructor)

  // Replaces the text by format with its placeholders filled, by the platform's printf rules
  // for wide text (%s takes a wide string). The arguments are texts: strings or CStrings.
  template <typename... Texts>
  void Format(const wchar_t* format, const Texts&... texts) {
    static_assert((std::is_convertible_v<const Texts&, const wchar_t*> && ...),
                  "Format takes text arguments only");
    FormatTexts(format, static_cast<const wchar_t*>(texts)...);
  }

  // For platform calls that write text: a new buffer of its own for length characters and
  // the terminator, all zero. ReleaseBuffer then ends the text after what was written.
  wchar_t* GetBufferSetLength(int length);
  void ReleaseBuffer(int length);

 private:
  struct Buffer {
    int references;
    int capacity;
  };
  static wchar_t* Text(Buffer* buffer) { return reinterpret_cast<wchar_t*>(buffer + 1); }
  void FormatTexts(const wchar_t* format, ...);
  void Release();

  Buffer* m_pBuffer = nullptr;
};
