#include "framework/list_box.h"

void CListBox::GetText(int nIndex, CString& text) const {
  const int length = Send(LB_GETTEXTLEN, nIndex);
  if (length == LB_ERR) return;
  // LB_GETTEXT writes the entry and its terminator into the buffer.
  wchar_t* buffer = text.GetBufferSetLength(length);
  text.ReleaseBuffer(Send(LB_GETTEXT, nIndex, buffer));
}
