// A property sheet run modally by the platform (PropertySheetW), optionally as a wizard. It
// keeps pointers to its pages, in page order; the caller owns them, beyond the modal run.
#pragma once

#include "framework/cstring.h"
#include "framework/property_page.h"

class CPropertySheet : public CWnd {
 public:
  CPropertySheet(const wchar_t* pszCaption, HWND hParentWnd, UINT iSelectPage);
  CPropertySheet(const CPropertySheet&) = delete;
  CPropertySheet& operator=(const CPropertySheet&) = delete;
  virtual ~CPropertySheet() = default;

  // Appends a page, which from then on knows this sheet as its own; up to MAXPROPPAGES.
  void AddPage(CPropertyPage* pPage);

  // Back, Next and Finish buttons instead of tabs.
  void SetWizardMode() { m_dwWizardFlag = PSH_WIZARD; }

  // Before DoModal: the page to show first, if the sheet holds it.
  void SetActivePage(CPropertyPage* pPage);

  // Shows the sheet until it closes: the result given to EndDialog, or else the platform's.
  INT_PTR DoModal();

  // Ends the modal run with nEndID by pressing Cancel, once the current message is handled.
  void EndDialog(int nEndID);

  // Whether a page has said that its work outlives its handler (CPropertyPage::SetBusy).
  bool IsBusy() const noexcept { return m_bBusy; }

 protected:
  // The sheet's window, buttons and first page exist. The platform ignores the result.
  virtual bool OnInitDialog() { return true; }

 private:
  friend class CPropertyPage;

  // Busy, with the platform's "working in the background" pointer over the sheet while it is
  // also usable: a box that the sheet waits on shows the normal one.
  void SetBusy(bool bBusy);
  bool ShowsWorking() const;
  // The pointer as it should be now, when it is over the sheet: the platform asks the sheet
  // only when the pointer moves.
  void UpdateCursor() const;
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
  bool m_bBusy = false;
};
