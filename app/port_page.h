// The wizard's second page: finds the printer's port (a detected USB printer, or the user's
// choice from the spooler's ports), and on Finish installs the printer on a worker thread,
// reporting the outcome when the worker has published it.
#pragma once

#include "app/wizard_picture.h"
#include "framework/cstring.h"
#include "framework/list_box.h"
#include "framework/property_page.h"
#include "install/install_worker.h"
#include "ports/usb_port.h"

// The page is the worker's InstallOutcome: the worker writes InstallResult into it. The page
// is busy from the worker's start until its outcome has been reported, so the wizard cannot
// close under the worker, nor start a second one.
class CStep2 : public CPropertyPage, public InstallOutcome {
 public:
  CStep2();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool OnInitDialog() override;
  bool OnSetActive() override;
  LRESULT OnWizardBack() override;
  bool OnWizardFinish() override;
  void OnTimer(UINT_PTR nIDEvent) override;

 private:
  void FillPortList();
  // The port that Finish installs on: the detected one, the selected list entry, or (with
  // nothing selected) the one of the previous attempt.
  CString ChoosePort();
  // Back and Finish, and the sheet's Cancel button, usable or not.
  void UnlockWizard(bool unlocked);
  void ShowFailure();

  CString m_strPrompt;
  CListBox m_listPorts;
  CUSBPort m_usbPort;
  CString m_strPort;
  LONG m_bAutoPort = 0;
  UINT_PTR m_nTimer = 0;
  CWizardPicture m_picture;
};
