#include "app/welcome_page.h"

#include "res/resource.h"

namespace {

const wchar_t kWelcomeText[] =
    L"欢迎使用Velmora打印机驱动程序安装向导。向导会自动获取当前可用的USB端口并自动安装驱动程序。"
    L"如当前可用端口为非USB口，程序将自动进入手动安装模式。";

}  // namespace

CStep1::CStep1() : CPropertyPage(IDD_STEP1) {}

void CStep1::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_WELCOME, m_strWelcome); }

bool CStep1::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_picture.Fit(m_hWnd);
  m_strWelcome = kWelcomeText;
  UpdateData(false);
  return true;
}

bool CStep1::OnSetActive() {
  SetWizardButtons(PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

// Next always leads on to the next page in order.
LRESULT CStep1::OnWizardNext() { return kWizardDefault; }
