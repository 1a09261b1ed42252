// A window handle the framework does not own, with the calls the pages make on it. A CWnd
// without a window (a missing control) converts to false, and calls on it do nothing.
#pragma once

#include "framework/cstring.h"
#include "platform/win32.h"

class CWnd {
 public:
  CWnd() = default;
  explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}

  explicit operator bool() const { return m_hWnd != nullptr; }

  CWnd GetDlgItem(int nID) const { return CWnd(::GetDlgItem(m_hWnd, nID)); }
  CWnd GetParent() const { return CWnd(::GetParent(m_hWnd)); }
  BOOL ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow); }
  BOOL EnableWindow(BOOL bEnable) const { return ::EnableWindow(m_hWnd, bEnable); }

  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
  }

  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) const {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr);
  }
  BOOL KillTimer(UINT_PTR nIDEvent) const { return ::KillTimer(m_hWnd, nIDEvent); }

  int MessageBox(const wchar_t* text, const wchar_t* caption, UINT type) const {
    return ::MessageBoxW(m_hWnd, text, caption, type);
  }

  void SetWindowText(const wchar_t* text) const { ::SetWindowTextW(m_hWnd, text); }
  void GetWindowText(CString& text) const;

  HWND m_hWnd = nullptr;
};
