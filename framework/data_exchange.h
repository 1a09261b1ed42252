// Dialog data exchange: a page's DoDataExchange lists its controls once, and UpdateData runs
// that list in one direction, from the members into the controls or back.
#pragma once

#include "framework/cstring.h"
#include "framework/wnd.h"

struct CDataExchange {
  CWnd m_dialog;            // the page whose controls are exchanged
  bool m_bSaveAndValidate;  // true: controls into members; false: members into controls
};

// Into the controls: value becomes the control's text. Back: the control's text becomes value.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

// Attaches control to the page's control nIDC on the first exchange; later exchanges, in
// either direction, leave it as it is.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);
