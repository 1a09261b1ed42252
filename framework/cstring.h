// The framework's wide string: UTF-16 text with a reference-counted buffer. Copies share one
// buffer and every change makes a new one, so no holder ever sees its text change through
// another. Strings belong to the user-interface thread: the counts are plain integers.
// A failed allocation throws std::bad_alloc, the framework's one exception, which the window
// procedures catch.
#pragma once

#include <type_traits>

#include "platform/win32.h"

class CString {
 public:
  CString() = default;
  // Implicit, as text converts to the framework's string wherever one is expected.
  CString(const wchar_t* text);  // NOLINT(google-explicit-constructor)
  CString(const CString& other);
  CString(CString&& other) noexcept;
  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  ~CString();

  int GetLength() const;
  bool IsEmpty() const { return GetLength() == 0; }
  // Never null: an empty string gives "".
  const wchar_t* GetString() const;
  operator const wchar_t*() const { return GetString(); }  // NOLINT(google-explicit-constructor)

  // Replaces the text by format with its placeholders filled, by the platform's printf rules
  // for wide text (%s takes a wide string). The arguments are texts: strings or CStrings.
  template <typename... Texts>
  void Format(const wchar_t* format, const Texts&... texts) {
    static_assert((std::is_convertible_v<const Texts&, const wchar_t*> && ...),
                  "Format takes text arguments only");
    FormatTexts(format, static_cast<const wchar_t*>(texts)...);
  }

  // For platform calls that write text: a new buffer of its own for length characters and
  // the terminator, empty. ReleaseBuffer then records how many characters were written.
  wchar_t* GetBufferSetLength(int length);
  void ReleaseBuffer(int length);

 private:
  struct Buffer {
    int references;
    int length;
    int capacity;
  };
  static wchar_t* Text(Buffer* buffer) { return reinterpret_cast<wchar_t*>(buffer + 1); }
  void FormatTexts(const wchar_t* format, ...);
  void Release();

  Buffer* m_pBuffer = nullptr;
};
