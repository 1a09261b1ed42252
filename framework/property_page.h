// One page of a property sheet, from a dialog template of the program. One dialog procedure
// calls the virtual hooks below and turns their results into the platform's replies: only it
// writes DWLP_MSGRESULT, and no exception leaves it.
#pragma once

#include <optional>

#include "framework/data_exchange.h"
#include "framework/wnd.h"

#include <commctrl.h>

class CPropertySheet;

// OnWizardBack/Next go to the neighbouring page, stay, or go to the page of a template id.
constexpr LRESULT kWizardDefault = 0;
constexpr LRESULT kWizardStay = -1;

class CPropertyPage : public CWnd {
 public:
  explicit CPropertyPage(UINT nIDTemplate);
  CPropertyPage(const CPropertyPage&) = delete;
  CPropertyPage& operator=(const CPropertyPage&) = delete;
  virtual ~CPropertyPage() = default;

  // Runs DoDataExchange: true reads the controls into the members, false the other way.
  void UpdateData(bool bSaveAndValidate);

  // Ends the modal run of the page's sheet with nEndID, once the current message is handled.
  void EndDialog(int nEndID);

 protected:
  // Enables the sheet's wizard buttons named by dwFlags (PSWIZB_*) and disables the others.
  // Posted, so the sheet applies it after the current message, such as this page's activation.
  void SetWizardButtons(DWORD dwFlags) const {
    GetParent().PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(dwFlags));
  }

  // For work that outlives its handler. Busy belongs to the sheet: while it is busy, leaving
  // the current page, Back, Next, Finish, OK and every way of closing (the session's end
  // included) are refused, whatever sends them and whichever page they reach, without a hook.
  void SetBusy(bool bBusy) const;

  virtual void DoDataExchange(CDataExchange*) {}

  // The window exists; the base fills the controls. True lets the platform set the focus.
  virtual bool OnInitDialog();
  // Becoming current; the base refills the controls but the first time. False skips the page.
  virtual bool OnSetActive();
  // Back or Next: kWizardDefault, kWizardStay, or a template id.
  virtual LRESULT OnWizardBack() { return kWizardDefault; }
  virtual LRESULT OnWizardNext() { return kWizardDefault; }
  // Finish: true lets the sheet close, false keeps it open.
  virtual bool OnWizardFinish() { return true; }
  // A WM_TIMER tick, which then goes on to the platform's default handling.
  virtual void OnTimer(UINT_PTR) {}

 private:
  friend class CPropertySheet;

  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  // The reply to a page notification, or none for one the page leaves alone.
  std::optional<LRESULT> Reply(UINT notification);

  PROPSHEETPAGEW m_psp{};              // the page's record, as the sheet passes it on
  CPropertySheet* m_pSheet = nullptr;  // set by the sheet that the page is added to
  bool m_bFirstSetActive = true;
};
