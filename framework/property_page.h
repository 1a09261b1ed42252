// One page of a property sheet, built from a dialog template of the program's resources; the
// sheet creates its window when it first shows it. All of the window's messages go through
// one dialog procedure, which calls the virtual hooks below and turns their results into the
// platform's replies: only this class writes DWLP_MSGRESULT, and no exception leaves it.
#pragma once

#include <optional>

#include "framework/data_exchange.h"
#include "framework/wnd.h"
#include "platform/win32.h"

#include <commctrl.h>

class CPropertySheet;

// What OnWizardBack and OnWizardNext return: go to the neighbouring page in page order, or
// stay on this page. A dialog template id instead goes to the page built from it.
constexpr LRESULT kWizardDefault = 0;
constexpr LRESULT kWizardStay = -1;

class CPropertyPage : public CWnd {
 public:
  explicit CPropertyPage(UINT nIDTemplate);
  CPropertyPage(const CPropertyPage&) = delete;
  CPropertyPage& operator=(const CPropertyPage&) = delete;
  virtual ~CPropertyPage() = default;

  // Runs DoDataExchange: true reads the controls into the members, false writes the members
  // into the controls. Returns true: no exchange of this framework can fail.
  bool UpdateData(bool bSaveAndValidate = true);

  // Ends the modal run of the page's sheet with nEndID as its result, once the current
  // message has been handled.
  void EndDialog(int nEndID);

 protected:
  // Enables the sheet's wizard buttons named by dwFlags (PSWIZB_*) and disables the others.
  // Posted, so the sheet applies it after the current message, such as this page's activation.
  void SetWizardButtons(DWORD dwFlags) const {
    GetParent().PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(dwFlags));
  }

  // For work that outlives its handler: while busy, Back, Next, Finish, Apply (OK) and every
  // way of closing (Cancel, Esc, the close box, Alt+F4, the system menu, the session's end)
  // are refused, whatever sends them, and their hooks are not called.
  void SetBusy(bool bBusy) { m_bBusy = bBusy; }

  // The page's controls, for UpdateData.
  virtual void DoDataExchange(CDataExchange*) {}

  // The window has been created. The base writes the members into the controls. True lets
  // the platform set the focus.
  virtual bool OnInitDialog();

  // The page is becoming the current page. The base writes the members into the controls on
  // every activation but the first. True shows the page, false skips it.
  virtual bool OnSetActive();

  // The page is being left. The base reads the controls into the members. True lets the user
  // leave, false keeps the page.
  virtual bool OnKillActive() { return UpdateData(true); }

  // Back or Next was pressed: kWizardDefault, kWizardStay, or a template id.
  virtual LRESULT OnWizardBack() { return kWizardDefault; }
  virtual LRESULT OnWizardNext() { return kWizardDefault; }

  // Finish was pressed. True lets the sheet close, false keeps it open.
  virtual bool OnWizardFinish() { return true; }

  // A WM_TIMER tick, which then goes on to the platform's default handling.
  virtual void OnTimer(UINT_PTR) {}

 private:
  friend class CPropertySheet;

  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The reply to a property-sheet notification, or none for one the page leaves alone.
  std::optional<LRESULT> Reply(UINT notification);

  PROPSHEETPAGEW m_psp{};              // the page's record, as the sheet passes it on
  CPropertySheet* m_pSheet = nullptr;  // set by the sheet that the page is added to
  bool m_bFirstSetActive = true;
  bool m_bBusy = false;
};
