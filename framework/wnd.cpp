#include "framework/wnd.h"

void CWnd::GetWindowText(CString& text) const {
  const int length = ::GetWindowTextLengthW(m_hWnd);
  wchar_t* buffer = text.GetBufferSetLength(length);
  text.ReleaseBuffer(::GetWindowTextW(m_hWnd, buffer, length + 1));
}
