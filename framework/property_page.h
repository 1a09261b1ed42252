// One page of a property sheet, built from a dialog template of the program's resources.
// The sheet creates the page's window when it first shows the page. Every message of the
// window goes through one dialog procedure, which calls the virtual hooks below and turns
// their results into the platform's replies: only this class writes DWLP_MSGRESULT, and no
// exception leaves it.
#pragma once

#include "framework/data_exchange.h"
#include "framework/object.h"
#include "framework/wnd.h"
#include "platform/win32.h"

#include <commctrl.h>

class CPropertySheet;

// What OnWizardBack and OnWizardNext return: go to the neighbouring page in page order, or
// stay on this page. A dialog template id instead goes to the page built from it.
constexpr LRESULT kWizardDefault = 0;
constexpr LRESULT kWizardStay = -1;

class CPropertyPage : public CObject, public CWnd {
 public:
  explicit CPropertyPage(UINT nIDTemplate);

  // The page's record as the sheet passes it to the platform.
  const PROPSHEETPAGEW& GetPageRecord() const { return m_psp; }

  // Runs DoDataExchange: true reads the controls into the members, false writes the members
  // into the controls. Returns true (no exchange of this framework can fail).
  bool UpdateData(bool bSaveAndValidate = true);

  // Ends the modal run of the sheet that holds this page, with nEndID as its result. The
  // sheet closes once the current message has been handled.
  void EndDialog(int nEndID);

  // The sheet that holds this page, found through the page's parent window; nullptr while
  // the page has no window.
  CPropertySheet* GetParentSheet() const;

  // The sheet is about to close by any means but Finish: Cancel, the close box, Alt+F4, the
  // system menu, the session ending. Returns true to let it close, false to keep it open.
  // The base returns true.
  virtual bool OnQueryCancel();

 protected:
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
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The reply to a property-sheet notification, or false for a code the page leaves alone.
  bool HandleNotification(UINT code, LRESULT& reply);

  PROPSHEETPAGEW m_psp{};
  bool m_bFirstSetActive = true;
  bool m_bDefault = false;
};
