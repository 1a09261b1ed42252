// A property sheet run modally by the platform (PropertySheetW), optionally as a wizard. The
// sheet keeps pointers to its pages, in page order; the pages stay owned by the caller and
// must outlive the modal run.
#pragma once

#include "framework/cstring.h"
#include "framework/property_page.h"
#include "framework/wnd.h"
#include "platform/win32.h"

class CPropertySheet : public CWnd {
 public:
  CPropertySheet(const wchar_t* pszCaption, HWND hParentWnd, UINT iSelectPage);
  CPropertySheet(const CPropertySheet&) = delete;
  CPropertySheet& operator=(const CPropertySheet&) = delete;
  virtual ~CPropertySheet() = default;

  // Appends a page, which from then on knows this sheet as its own. False for a page beyond
  // the platform's MAXPROPPAGES.
  bool AddPage(CPropertyPage* pPage);

  // Back, Next and Finish buttons instead of tabs.
  void SetWizardMode() { m_dwWizardFlag = PSH_WIZARD; }

  // Before DoModal: the page to show first. False for a page the sheet does not hold.
  bool SetActivePage(CPropertyPage* pPage);

  // Shows the sheet and returns when it has closed: the result a page gave to EndDialog, or
  // else the platform's result (-1 when the sheet could not be created).
  INT_PTR DoModal();

  // Ends the modal run with nEndID as its result: the sheet presses its own Cancel button,
  // which takes effect once the current message has been handled.
  void EndDialog(int nEndID);

 protected:
  // The platform has initialised the sheet's window: its buttons and first page exist. The
  // platform has already set the focus and does not use the result.
  virtual bool OnInitDialog() { return true; }

 private:
  // Whether a page is busy: the sheet then refuses to let the session end.
  bool IsBusy() const noexcept;
  static int CALLBACK SheetCallback(HWND hWnd, UINT message, LPARAM lParam);
  static LRESULT CALLBACK SheetSubclass(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclassId, DWORD_PTR data);

  CString m_strCaption;
  HWND m_hParentWnd;
  UINT m_nStartPage;
  DWORD m_dwWizardFlag = 0;
  CPropertyPage* m_pages[MAXPROPPAGES] = {};
  UINT m_nPages = 0;
  bool m_bEnded = false;
  int m_nEndID = 0;
};
