#include "framework/cstring.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>
#include <utility>

CString::CString(const wchar_t* text) {
  const std::size_t length = text == nullptr ? 0 : std::wcslen(text);
  if (length > static_cast<std::size_t>(kMaxLength)) throw std::bad_alloc();
  std::memcpy(GetBufferSetLength(static_cast<int>(length)), text, length * sizeof(wchar_t));
}

CString::CString(const CString& other) noexcept : m_pBuffer(other.m_pBuffer) {
  if (m_pBuffer != nullptr) ++m_pBuffer->references;
}

CString& CString::operator=(CString other) noexcept {
  std::swap(m_pBuffer, other.m_pBuffer);
  return *this;
}

CString::operator const wchar_t*() const { return m_pBuffer == nullptr ? L"" : Text(m_pBuffer); }

void CString::Format(const wchar_t* format, const wchar_t* text) {
  CString formatted;
  const int length = std::max(_scwprintf(format, text), 0);
  wchar_t* target = formatted.GetBufferSetLength(length);
  // The buffer holds the measured length and the terminator; the call writes no more.
  formatted.ReleaseBuffer(_snwprintf(target, static_cast<std::size_t>(length) + 1, format, text));
  *this = formatted;
}

wchar_t* CString::GetBufferSetLength(int length) {
  if (length < 0 || length > kMaxLength) throw std::bad_alloc();
  const std::size_t bytes = (static_cast<std::size_t>(length) + 1) * sizeof(wchar_t);
  auto* buffer = static_cast<Buffer*>(::operator new(sizeof(Buffer) + bytes));
  buffer->references = 1;
  buffer->capacity = length;
  std::memset(Text(buffer), 0, bytes);
  Release();
  m_pBuffer = buffer;
  return Text(buffer);
}

void CString::ReleaseBuffer(int length) {
  if (m_pBuffer == nullptr) return;
  Text(m_pBuffer)[length < 0 ? 0 : std::min(length, m_pBuffer->capacity)] = 0;
}

void CString::Release() {
  if (m_pBuffer != nullptr && --m_pBuffer->references == 0) ::operator delete(m_pBuffer);
  m_pBuffer = nullptr;
}
