#include "framework/data_exchange.h"

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  const CWnd control = pDX->m_dialog.GetDlgItem(nIDC);
  if (pDX->m_bSaveAndValidate) {
    control.GetWindowText(value);
  } else {
    control.SetWindowText(value);
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
  if (control.m_hWnd == nullptr) control = pDX->m_dialog.GetDlgItem(nIDC);
}
