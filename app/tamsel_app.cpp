#include "app/tamsel_app.h"

#include <memory>

#include "app/port_page.h"
#include "app/welcome_page.h"
#include "app/wizard.h"
#include "install/install_settings.h"
#include "platform/win32.h"

#include <commctrl.h>

namespace {

// Shown instead of the wizard when the program lies too deep to locate its driver package.
const WCHAR kProgramPathTooLongText[] =
    TEXT("安装程序所在的路径过长，请将安装程序移至较短的路径后重新运行。");

}  // namespace

// The one application object. Its start-up hook runs once static initialisation is over, so
// the installation settings it reads are complete.
CTamselApp theApp;

bool CTamselApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  ::InitCommonControlsEx(&controls);
  SetRegistryKey(L"Local AppWizard-Generated Applications");
  // A program that cannot locate its driver package says so instead of showing the wizard.
  if (InstallSettings.ProgramLocationUsable == 0) {
    ::MessageBoxW(nullptr, kProgramPathTooLongText, L"ERROR", MB_OK | MB_ICONERROR);
    return false;
  }

  CWizard wizard(L"Velmora Printer Driver Setup", nullptr, 0);
  // The pages in page order: built in this order, destroyed in reverse once the run is over,
  // before the sheet.
  const std::unique_ptr<CPropertyPage> pages[] = {std::make_unique<CStep1>(),
                                                  std::make_unique<CStep2>()};
  for (const auto& page : pages) wizard.AddPage(page.get());
  wizard.SetWizardMode();
  wizard.SetActivePage(pages[0].get());
  wizard.DoModal();
  return false;
}
