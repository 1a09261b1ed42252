#include "app/port_page.h"

#include "app/port_choice.h"
#include "install/install_settings.h"
#include "platform/unique_handle.h"
#include "platform/wide_text.h"
#include "ports/spooler_ports.h"
#include "res/resource.h"

namespace {

constexpr UINT_PTR kResultTimerId = 1;
constexpr UINT kResultPollMs = 200;

// Appends each port the spooler reports to the list, in the spooler's order.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor): never deleted through a base.
class PortListFiller final : public PortNameSink {
 public:
  explicit PortListFiller(const CListBox& list) : m_list(list) {}
  void Add(const WCHAR* name) override { m_list.AddString(name); }

 private:
  const CListBox& m_list;
};

}  // namespace

CStep2::CStep2() : CPropertyPage(IDD_STEP2) {}

void CStep2::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_PORT_LIST, m_listPorts);
  DDX_Text(pDX, IDC_PROMPT, m_strPrompt);
}

bool CStep2::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_picture.Fit(m_hWnd);
  return true;
}

// Detection runs afresh on every activation, so a printer connected while the user was on
// the welcome page is found on return.
bool CStep2::OnSetActive() {
  SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  const CWnd list = GetDlgItem(IDC_PORT_LIST);
  list.ShowWindow(SW_SHOWNORMAL);
  PortNameText port;
  if (m_usbPort.GetPortName(port) == 1) {
    m_strPort = port.c_str();
    m_strPrompt.Format(kDetectedPromptFormat, m_strPort);
    m_bAutoPort = 1;
    // The entries stay as they are; only the list is hidden.
    list.ShowWindow(SW_HIDE);
  } else {
    m_strPrompt = kManualPrompt;
    m_bAutoPort = 0;
    FillPortList();
  }
  UpdateData(false);
  return CPropertyPage::OnSetActive();
}

void CStep2::FillPortList() {
  for (int index = m_listPorts.GetCount() - 1; index >= 0; --index) {
    m_listPorts.DeleteString(index);
  }
  PortListFiller filler(m_listPorts);
  if (EnumSpoolerPorts(filler) == 0) {
    for (const WCHAR* name : kFallbackPorts) m_listPorts.AddString(name);
  }
  if (m_listPorts.SelectString(-1, kPreselectedPort) == LB_ERR && m_listPorts.GetCount() > 0) {
    m_listPorts.SetCurSel(0);
  }
  UpdateData(false);
}

// Back always leads to the welcome page.
LRESULT CStep2::OnWizardBack() { return kWizardDefault; }

CString CStep2::ChoosePort() {
  if (m_bAutoPort == 1) return m_strPort;
  const int selected = m_listPorts.GetCurSel();
  if (selected != LB_ERR) {
    m_listPorts.GetText(selected, m_strPort);
    return m_strPort;
  }
  return InstallSettings.PortName;
}

bool CStep2::OnWizardFinish() {
  UpdateData(true);
  const CString port = ChoosePort();
  // A port that would be cut short, or that could break out of its quotes in the command
  // line, is not installed on.
  if (!IsInstallablePort(port) || !WideCopy(InstallSettings.PortName, port)) {
    ShowFailure();
    return false;
  }
  WideCopy(InstallSettings.PrinterName, kPrinterModelName);
  InstallSettings.SetAsDefault = 1;
  InstallResult = kInstallPending;

  // The timer is started before the worker, so that a timer that cannot be had leaves no
  // worker behind without anybody to report its outcome. Its first tick cannot arrive before
  // this handler has returned.
  m_nTimer = SetTimer(kResultTimerId, kResultPollMs);
  if (m_nTimer == 0) {
    ShowFailure();
    return false;
  }
  UnlockWizard(false);
  // The worker runs detached; the page learns of its end only through InstallResult.
  const UniqueKernelHandle worker(
      ::CreateThread(nullptr, 0, InstallWorker, static_cast<InstallOutcome*>(this), 0, nullptr));
  if (!worker.IsValid()) {
    KillTimer(m_nTimer);
    ShowFailure();
    UnlockWizard(true);
    return false;
  }
  SetBusy(true);
  return false;
}

void CStep2::OnTimer(UINT_PTR nIDEvent) {
  const TickReport report = ReportForTick(nIDEvent == m_nTimer, InstallResult);
  if (report != TickReport::kNothing) {
    // Stopped before any box is shown, so no tick arrives while a box is open.
    KillTimer(m_nTimer);
    if (report == TickReport::kFailure) {
      ShowFailure();
    } else if (report == TickReport::kSuccess) {
      MessageBox(kInstallSucceededText, kSuccessCaption, MB_ICONINFORMATION);
      EndDialog(IDCANCEL);
    }
    InstallResult = kInstallPending;
    // Busy until here, the box included; the close that EndDialog posted comes after.
    SetBusy(false);
    UnlockWizard(true);
  }
}

void CStep2::UnlockWizard(bool unlocked) {
  SetWizardButtons(unlocked ? PSWIZB_BACK | PSWIZB_FINISH : PSWIZB_DISABLEDFINISH);
  if (const CWnd cancel = GetParent().GetDlgItem(IDCANCEL)) cancel.EnableWindow(unlocked);
}

void CStep2::ShowFailure() { MessageBox(kInstallFailedText, kFailureCaption, MB_ICONERROR); }
