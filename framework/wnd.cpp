#include "framework/wnd.h"

#include <utility>

void CWnd::GetWindowText(CString& text) const {
  CString read;
  const int length = ::GetWindowTextLengthW(m_hWnd);
  if (length > 0) {
    wchar_t* buffer = read.GetBufferSetLength(length);
    read.ReleaseBuffer(::GetWindowTextW(m_hWnd, buffer, length + 1));
  }
  text = std::move(read);
}
