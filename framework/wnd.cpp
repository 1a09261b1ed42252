#include "framework/wnd.h"

#include <utility>

#include "framework/list_box.h"

void CWnd::GetWindowText(CString& text) const {
  CString read;
  const int length = ::GetWindowTextLengthW(m_hWnd);
  if (length > 0) {
    wchar_t* buffer = read.GetBufferSetLength(length);
    read.ReleaseBuffer(::GetWindowTextW(m_hWnd, buffer, length + 1));
  }
  text = std::move(read);
}

void CListBox::GetText(int nIndex, CString& text) const {
  const int length = static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)));
  if (length == LB_ERR) return;
  CString read;
  wchar_t* buffer = read.GetBufferSetLength(length);
  const int written = static_cast<int>(
      SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(buffer)));
  if (written == LB_ERR) return;
  read.ReleaseBuffer(written);
  text = std::move(read);
}
