#include "framework/property_sheet.h"

#include <algorithm>
#include <utility>

namespace {

// The sheet whose PropertySheetW call is creating its window. The platform's sheet callback
// carries no data of ours, and a sheet is created on the user-interface thread only.
CPropertySheet* g_pSheetInCreation = nullptr;

}  // namespace

CPropertySheet::CPropertySheet(const wchar_t* pszCaption, HWND hParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption), m_hParentWnd(hParentWnd), m_nStartPage(iSelectPage) {}

bool CPropertySheet::AddPage(CPropertyPage* pPage) {
  if (m_nPages == MAXPROPPAGES) return false;
  m_pages[m_nPages++] = pPage;
  pPage->m_pSheet = this;
  return true;
}

bool CPropertySheet::SetActivePage(CPropertyPage* pPage) {
  for (UINT index = 0; index < m_nPages; ++index) {
    if (m_pages[index] == pPage) {
      m_nStartPage = index;
      return true;
    }
  }
  return false;
}

INT_PTR CPropertySheet::DoModal() {
  PROPSHEETPAGEW records[MAXPROPPAGES];
  for (UINT index = 0; index < m_nPages; ++index) records[index] = m_pages[index]->m_psp;
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(header);
  // The sheet has a Help button, as its pages offer Help; a sheet that shows none hides it.
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_HASHELP | m_dwWizardFlag;
  header.hwndParent = m_hParentWnd;
  header.hInstance = ::GetModuleHandleW(nullptr);
  header.pszCaption = m_strCaption;
  header.nPages = m_nPages;
  header.nStartPage = m_nStartPage;
  header.ppsp = records;
  header.pfnCallback = SheetCallback;
  m_bEnded = false;
  g_pSheetInCreation = this;
  const INT_PTR result = ::PropertySheetW(&header);
  g_pSheetInCreation = nullptr;
  return m_bEnded ? m_nEndID : result;
}

void CPropertySheet::EndDialog(int nEndID) {
  m_bEnded = true;
  m_nEndID = nEndID;
  PostMessage(PSM_PRESSBUTTON, PSBTN_CANCEL);
}

int CALLBACK CPropertySheet::SheetCallback(HWND hWnd, UINT message, LPARAM) {
  if (message != PSCB_INITIALIZED || g_pSheetInCreation == nullptr) return 0;
  CPropertySheet* sheet = std::exchange(g_pSheetInCreation, nullptr);
  sheet->m_hWnd = hWnd;
  // Watches for the session's end and for the window's end, to let go of it.
  ::SetWindowSubclass(hWnd, SheetSubclass, 0, reinterpret_cast<DWORD_PTR>(sheet));
  try {
    sheet->OnInitDialog();
  } catch (...) {
    // Nothing unwinds through the platform: the sheet runs as initialised so far.
  }
  return 0;
}

bool CPropertySheet::IsBusy() const noexcept {
  return std::any_of(m_pages, m_pages + m_nPages,
                     [](const CPropertyPage* page) { return page->m_bBusy; });
}

// Calls no hook, so nothing can unwind through the platform from here.
LRESULT CALLBACK CPropertySheet::SheetSubclass(HWND hWnd, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* sheet = reinterpret_cast<CPropertySheet*>(data);
  // The platform asks the current page before it closes the sheet by Cancel, Esc, the close
  // box, Alt+F4 or the system menu; the session's end is answered here for the pages.
  if (message == WM_QUERYENDSESSION && sheet->IsBusy()) return FALSE;
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hWnd, SheetSubclass, 0);
    sheet->m_hWnd = nullptr;
  }
  return ::DefSubclassProc(hWnd, message, wParam, lParam);
}
