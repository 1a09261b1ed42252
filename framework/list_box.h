// A list box control of a page, attached by DDX_Control, and its messages.
#pragma once

#include "framework/wnd.h"

class CListBox : public CWnd {
 public:
  int GetCount() const { return Send(LB_GETCOUNT); }
  int DeleteString(int nIndex) const { return Send(LB_DELETESTRING, nIndex); }
  int AddString(const wchar_t* text) const { return Send(LB_ADDSTRING, 0, text); }
  int SetCurSel(int nSelect) const { return Send(LB_SETCURSEL, nSelect); }
  int GetCurSel() const { return Send(LB_GETCURSEL); }
  // Selects the first entry after nStartAfter (-1: the top) beginning with text, case ignored.
  int SelectString(int nStartAfter, const wchar_t* text) const {
    return Send(LB_SELECTSTRING, nStartAfter, text);
  }
  // The entry's text; text is left as it was when there is no such entry.
  void GetText(int nIndex, CString& text) const;

 private:
  int Send(UINT message, int index = 0, const wchar_t* text = nullptr) const {
    return static_cast<int>(::SendMessageW(m_hWnd, message, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(text)));
  }
};
