// One page of a property sheet, built from a dialog template of the program's resources.
// The sheet creates the page's window when it first shows the page. Every message of the
// window goes through one dialog procedure, which calls the virtual hooks below and turns
// their results into the platform's replies: only this class writes DWLP_MSGRESULT, and no
// exception leaves it. A busy page keeps the sheet as it is (SetBusy).
#pragma once

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
  // into the controls. Returns true (no exchange of this framework can fail).
  bool UpdateData(bool bSaveAndValidate = true);

  // Ends the modal run of the sheet that holds this page, with nEndID as its result. The
  // sheet closes once the current message has been handled.
  void EndDialog(int nEndID);

 protected:
  // While busy, the page keeps the sheet as it is, whatever asks: Back, Next, Finish, Apply
  // (OK) and every way of closing (Cancel, Esc, the close box, Alt+F4, the system menu, the
  // session ending) are refused, and the hooks for them are not called. For a page whose
  // work outlives the handler that started it.
  void SetBusy(bool bBusy) { m_bBusy = bBusy; }

  // The page's controls, for UpdateData. The base exchanges nothing.
  virtual void DoDataExchange(CDataExchange* pDX);

  // The page's window has been created. The base writes the members into the controls.
  // Returns true to let the platform set the focus.
  virtual bool OnInitDialog();

  // The page is becoming the current page. The base writes the members into the controls on
  // every activation but the first. Returns true to show the page, false to skip it.
  virtual bool OnSetActive();

  // The page is being left. The base reads the controls into the members. Returns true to
  // let the user leave, false to stay.
  virtual bool OnKillActive();

  // Back or Next was pressed: kWizardDefault, kWizardStay, or a template id. The bases
  // return kWizardDefault.
  virtual LRESULT OnWizardBack();
  virtual LRESULT OnWizardNext();

  // Finish was pressed. Returns true to let the sheet close, false to keep it open. The base
  // returns true.
  virtual bool OnWizardFinish();

  // A WM_TIMER tick. The base leaves it to the platform's default handling (Default).
  virtual void OnTimer(UINT_PTR nIDEvent);

  // Leaves the message being handled to the platform's default handling.
  void Default() { m_bDefault = true; }

 private:
  friend class CPropertySheet;

  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The reply to a property-sheet notification, or false for a code the page leaves alone.
  bool HandleNotification(UINT code, LRESULT& reply);

  PROPSHEETPAGEW m_psp{};              // the page's record, as the sheet passes it on
  CPropertySheet* m_pSheet = nullptr;  // set by the sheet that the page is added to
  bool m_bFirstSetActive = true;
  bool m_bDefault = false;
  bool m_bBusy = false;
};
