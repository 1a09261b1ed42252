#include "framework/cstring.h"

#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <new>
#include <utility>

namespace {

// Far above any text of this program, and low enough that the byte count never overflows.
constexpr int kMaxLength = 0x3FFFFFF;

}  // namespace

CString::CString(const wchar_t* text) {
  const std::size_t length = text == nullptr ? 0 : std::wcslen(text);
  if (length == 0) return;
  if (length > static_cast<std::size_t>(kMaxLength)) throw std::bad_alloc();
  wchar_t* target = GetBufferSetLength(static_cast<int>(length));
  std::memcpy(target, text, length * sizeof(wchar_t));
  ReleaseBuffer(static_cast<int>(length));
}

CString::CString(const CString& other) : m_pBuffer(other.m_pBuffer) {
  if (m_pBuffer != nullptr) ++m_pBuffer->references;
}

CString::CString(CString&& other) noexcept : m_pBuffer(std::exchange(other.m_pBuffer, nullptr)) {}

CString& CString::operator=(const CString& other) {
  CString copy(other);
  std::swap(m_pBuffer, copy.m_pBuffer);
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this != &other) {
    Release();
    m_pBuffer = std::exchange(other.m_pBuffer, nullptr);
  }
  return *this;
}

CString::~CString() { Release(); }

int CString::GetLength() const { return m_pBuffer == nullptr ? 0 : m_pBuffer->length; }

const wchar_t* CString::GetString() const { return m_pBuffer == nullptr ? L"" : Text(m_pBuffer); }

wchar_t* CString::GetBufferSetLength(int length) {
  if (length < 0 || length > kMaxLength) throw std::bad_alloc();
  const std::size_t bytes =
      sizeof(Buffer) + (static_cast<std::size_t>(length) + 1) * sizeof(wchar_t);
  auto* buffer = static_cast<Buffer*>(::operator new(bytes));
  buffer->references = 1;
  buffer->length = 0;
  buffer->capacity = length;
  std::memset(Text(buffer), 0, (static_cast<std::size_t>(length) + 1) * sizeof(wchar_t));
  Release();
  m_pBuffer = buffer;
  return Text(buffer);
}

void CString::ReleaseBuffer(int length) {
  if (m_pBuffer == nullptr) return;
  if (length < 0) length = 0;
  if (length > m_pBuffer->capacity) length = m_pBuffer->capacity;
  m_pBuffer->length = length;
  Text(m_pBuffer)[length] = 0;
}

void CString::FormatTexts(const wchar_t* format, ...) {
  std::va_list arguments{};
  va_start(arguments, format);
  const int length = _vscwprintf(format, arguments);
  va_end(arguments);
  CString text;
  if (length > 0) {
    wchar_t* target = text.GetBufferSetLength(length);
    va_start(arguments, format);
    // The buffer holds the measured length and the terminator; the call writes no more.
    const int written =
        _vsnwprintf(target, static_cast<std::size_t>(length) + 1, format, arguments);
    va_end(arguments);
    text.ReleaseBuffer(written);
  }
  *this = std::move(text);
}

void CString::Release() {
  if (m_pBuffer != nullptr && --m_pBuffer->references == 0) ::operator delete(m_pBuffer);
  m_pBuffer = nullptr;
}
