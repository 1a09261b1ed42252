// Dialog data exchange: DoDataExchange lists a page's controls; UpdateData runs it one way.
#pragma once

#include "framework/wnd.h"

struct CDataExchange {
  CWnd m_dialog;            // the page whose controls are exchanged
  bool m_bSaveAndValidate;  // true: controls into members; false: members into controls
};

// Into the controls: value becomes the control's text. Back: the control's text becomes value.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

// Attaches control to the page's control nIDC on the first exchange; later ones change nothing.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);
