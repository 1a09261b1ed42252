#include "framework/property_sheet.h"

#include <algorithm>
#include <utility>

namespace {

// The sheet being created: the platform's callback carries no data of ours. UI thread only.
CPropertySheet* g_pSheetInCreation = nullptr;

}  // namespace

CPropertySheet::CPropertySheet(const wchar_t* pszCaption, HWND hParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption), m_hParentWnd(hParentWnd), m_nStartPage(iSelectPage) {}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
  if (m_nPages == MAXPROPPAGES) return;
  m_pages[m_nPages++] = pPage;
  pPage->m_pSheet = this;
}

void CPropertySheet::SetActivePage(CPropertyPage* pPage) {
  CPropertyPage** const end = m_pages + m_nPages;
  CPropertyPage** const found = std::find(m_pages, end, pPage);
  if (found != end) m_nStartPage = static_cast<UINT>(found - m_pages);
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
  // Watches for the session's end, and for the window's, to let go of it.
  ::SetWindowSubclass(hWnd, SheetSubclass, 0, reinterpret_cast<DWORD_PTR>(sheet));
  try {
    sheet->OnInitDialog();
  } catch (...) {
    // Nothing unwinds through the platform: the sheet runs as initialised so far.
  }
  return 0;
}

void CPropertySheet::SetBusy(bool bBusy) {
  m_bBusy = bBusy;
  UpdateCursor();
}

bool CPropertySheet::ShowsWorking() const { return m_bBusy && ::IsWindowEnabled(m_hWnd) != FALSE; }

void CPropertySheet::UpdateCursor() const {
  POINT pointer{};
  RECT frame{};
  if (!::GetCursorPos(&pointer) || !::GetWindowRect(m_hWnd, &frame) ||
      !::PtInRect(&frame, pointer)) {
    return;
  }
  // Nothing on the sheet has a pointer of its own: no edit field, no sizing border.
  ::SetCursor(::LoadCursorW(nullptr, ShowsWorking() ? IDC_APPSTARTING : IDC_ARROW));
}

LRESULT CALLBACK CPropertySheet::SheetSubclass(HWND hWnd, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* sheet = reinterpret_cast<CPropertySheet*>(data);
  // Calls no hook. The pages refuse every other way of closing; the session's end is answered
  // here.
  switch (message) {
    case WM_QUERYENDSESSION:
      if (sheet->m_bBusy) return FALSE;
      break;
    case WM_SETCURSOR:
      // Every window of the sheet asks its parent first, so this covers them all.
      if (sheet->ShowsWorking()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
        return TRUE;
      }
      break;
    case WM_ENABLE:
      // A box opened or closed over the busy sheet.
      sheet->UpdateCursor();
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(hWnd, SheetSubclass, 0);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(hWnd, message, wParam, lParam);
}
