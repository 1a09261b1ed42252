// The framework's wide string: UTF-16 text in a reference-counted buffer, which copies share
// and every change replaces. User-interface thread only (plain counts). A failed allocation
// throws std::bad_alloc, the framework's one exception, which the window procedures catch.
#pragma once

class CString {
 public:
  CString() = default;
  CString(const wchar_t* text);  // NOLINT(google-explicit-constructor)
  CString(const CString& other) noexcept;
  CString& operator=(CString other) noexcept;
  ~CString() { Release(); }

  // Never null: an empty string gives "".
  operator const wchar_t*() const;  // NOLINT(google-explicit-constructor)

  // The text becomes format with its %s filled with text (the platform's wide printf).
  void Format(const wchar_t* format, const wchar_t* text);

  // For platform calls that write text: a new zeroed buffer for length characters and the
  // terminator; ReleaseBuffer ends the text after what was written.
  wchar_t* GetBufferSetLength(int length);
  void ReleaseBuffer(int length);

 private:
  struct Buffer {
    int references;
    int capacity;
  };
  // Far above any text of this program, and low enough that the byte count never overflows.
  static constexpr int kMaxLength = 0x3FFFFFF;
  static wchar_t* Text(Buffer* buffer) { return reinterpret_cast<wchar_t*>(buffer + 1); }
  void Release();

  Buffer* m_pBuffer = nullptr;
};
