// The start-up benchmark's reference: the least program that shows the same welcome page, a
// plain PropertySheetW wizard with one page from the same resources (template 130 with its
// picture, the same manifest), built and linked as the installer is, without the framework.
#include <windows.h>

#include <commctrl.h>

namespace {

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetDlgItemTextW(page, 1031,
                    L"欢迎使用Velmora打印机驱动程序安装向导。向导会自动获取当前可用的USB端口并自动"
                    L"安装驱动程序。如当前可用端口为非USB口，程序将自动进入手动安装模式。");
    return TRUE;
  }
  if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE) {
    PostMessageW(GetParent(page), PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
    SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof(page);
  page.hInstance = instance;
  page.pszTemplate = MAKEINTRESOURCEW(130);
  page.pfnDlgProc = PageProc;
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
  header.hInstance = instance;
  header.pszCaption = L"Velmora Printer Driver Setup";
  header.nPages = 1;
  header.ppsp = &page;
  PropertySheetW(&header);
  return 0;
}
