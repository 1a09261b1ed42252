#include "framework/property_page.h"

#include <utility>

#include "framework/property_sheet.h"

namespace {

// The platform's replies to the page notifications, in DWLP_MSGRESULT.
constexpr LRESULT kShowPage = 0;   // PSN_SETACTIVE: show the page
constexpr LRESULT kSkipPage = -1;  // PSN_SETACTIVE: do not show it
// PSN_KILLACTIVE, PSN_WIZFINISH, PSN_QUERYCANCEL: leave the page or close the sheet, or not.
constexpr LRESULT kGoAhead = FALSE;
constexpr LRESULT kRefuse = TRUE;
constexpr LRESULT kApplied = PSNRET_NOERROR;                   // PSN_APPLY: OK may close
constexpr LRESULT kRefuseApply = PSNRET_INVALID_NOCHANGEPAGE;  // PSN_APPLY: keep it open

}  // namespace

CPropertyPage::CPropertyPage(UINT nIDTemplate) {
  m_psp.dwSize = sizeof(m_psp);
  // Every page offers Help, as the application answers it; the sheet may hide the button.
  m_psp.dwFlags = PSP_HASHELP;
  m_psp.hInstance = ::GetModuleHandleW(nullptr);
  m_psp.pszTemplate = MAKEINTRESOURCEW(nIDTemplate);
  m_psp.pfnDlgProc = DialogProc;
  m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

void CPropertyPage::UpdateData(bool bSaveAndValidate) {
  CDataExchange exchange{CWnd(m_hWnd), bSaveAndValidate};
  DoDataExchange(&exchange);
}

void CPropertyPage::EndDialog(int nEndID) {
  if (m_pSheet != nullptr) m_pSheet->EndDialog(nEndID);
}

void CPropertyPage::SetBusy(bool bBusy) const {
  if (m_pSheet != nullptr) m_pSheet->SetBusy(bBusy);
}

bool CPropertyPage::OnInitDialog() {
  UpdateData(false);
  return true;
}

bool CPropertyPage::OnSetActive() {
  if (!std::exchange(m_bFirstSetActive, false)) UpdateData(false);
  return true;
}

INT_PTR CALLBACK CPropertyPage::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Messages that come before WM_INITDIALOG (WM_SETFONT) find no object yet.
  auto* page = reinterpret_cast<CPropertyPage*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
  if (message == WM_INITDIALOG) {
    // The platform passes its copy of the page record, which still carries the object.
    page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    page->m_hWnd = hWnd;
    ::SetWindowLongPtrW(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
  }
  if (page == nullptr) return FALSE;
  try {
    // FALSE leaves a message to the dialog manager's default handling.
    if (message == WM_INITDIALOG) return page->OnInitDialog() ? TRUE : FALSE;
    if (message == WM_TIMER) page->OnTimer(static_cast<UINT_PTR>(wParam));
    if (message != WM_NOTIFY) return FALSE;
    const std::optional<LRESULT> reply = page->Reply(reinterpret_cast<const NMHDR*>(lParam)->code);
    if (!reply) return FALSE;
    ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, *reply);
    return TRUE;
  } catch (...) {
    // Nothing unwinds through the platform: the message counts as not handled.
    return FALSE;
  }
}

// Sent whatever the buttons' state (PSM_PRESSBUTTON, PSM_SETCURSEL, anyone's WM_COMMAND): busy
// is checked here, and asked of the sheet, so that no page can be reached from which the sheet
// would close.
std::optional<LRESULT> CPropertyPage::Reply(UINT notification) {
  const bool busy = m_pSheet != nullptr && m_pSheet->IsBusy();
  switch (notification) {
    case PSN_SETACTIVE:
      return OnSetActive() ? kShowPage : kSkipPage;
    case PSN_KILLACTIVE:
      if (busy) return kRefuse;
      UpdateData(true);
      return kGoAhead;
    case PSN_WIZBACK:
      return busy ? kWizardStay : OnWizardBack();
    case PSN_WIZNEXT:
      return busy ? kWizardStay : OnWizardNext();
    case PSN_WIZFINISH:
      return !busy && OnWizardFinish() ? kGoAhead : kRefuse;
    case PSN_APPLY:
      return busy ? kRefuseApply : kApplied;
    case PSN_QUERYCANCEL:
      return busy ? kRefuse : kGoAhead;
    default:
      return std::nullopt;
  }
}
