// A list box control of a page: the handle, attached by DDX_Control, and its messages.
#pragma once

#include "framework/cstring.h"
#include "framework/wnd.h"

class CListBox : public CWnd {
 public:
  int GetCount() const { return Send(LB_GETCOUNT); }
  int DeleteString(int nIndex) const { return Send(LB_DELETESTRING, nIndex); }
  // Appends in an unsorted list; returns the new entry's index, or LB_ERR.
  int AddString(const wchar_t* text) const { return Send(LB_ADDSTRING, 0, text); }
  int SetCurSel(int nSelect) const { return Send(LB_SETCURSEL, nSelect); }
  int GetCurSel() const { return Send(LB_GETCURSEL); }
  // Selects the first entry after nStartAfter (-1: from the top) that begins with text,
  // letter case ignored. Returns its index, or LB_ERR when no entry begins with text.
  int SelectString(int nStartAfter, const wchar_t* text) const {
    return Send(LB_SELECTSTRING, nStartAfter, text);
  }
  // The entry's text; text is left as it was when there is no such entry.
  void GetText(int nIndex, CString& text) const;

 private:
  // A list-box message with an index (-1 included) and a text; the reply is an index or count.
  int Send(UINT message, int index = 0, const wchar_t* text = nullptr) const {
    return static_cast<int>(
        SendMessage(message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
  }
};
