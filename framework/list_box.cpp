#include "framework/list_box.h"

#include <utility>

void CListBox::GetText(int nIndex, CString& text) const {
  const int length = Send(LB_GETTEXTLEN, nIndex);
  if (length == LB_ERR) return;
  CString read;
  wchar_t* buffer = read.GetBufferSetLength(length);
  // LB_GETTEXT writes the entry and its terminator into the buffer.
  const int written = Send(LB_GETTEXT, nIndex, buffer);
  if (written == LB_ERR) return;
  read.ReleaseBuffer(written);
  text = std::move(read);
}
