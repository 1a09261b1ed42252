// A list box control of a page: the handle, attached by DDX_Control, and its messages.
#pragma once

#include "framework/cstring.h"
#include "framework/wnd.h"

class CListBox : public CWnd {
 public:
  int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
  int DeleteString(int nIndex) const {
    return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(nIndex)));
  }
  // Appends in an unsorted list; returns the new entry's index, or LB_ERR.
  int AddString(const wchar_t* text) const {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int SetCurSel(int nSelect) const {
    return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect)));
  }
  int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
  // Selects the first entry after nStartAfter (-1: from the top) that begins with text,
  // letter case ignored. Returns its index, or LB_ERR when no entry begins with text.
  int SelectString(int nStartAfter, const wchar_t* text) const {
    return static_cast<int>(SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(nStartAfter),
                                        reinterpret_cast<LPARAM>(text)));
  }
  // The entry's text; text is left as it was when there is no such entry.
  void GetText(int nIndex, CString& text) const;
};
