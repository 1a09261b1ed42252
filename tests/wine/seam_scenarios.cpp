// The failure paths that only the fault seam reaches (tests/wine/fault_seam.h): the installer's
// start-up, and the real detector in this program, against Wine's SetupAPI, registry and
// device files with one call or another failing. Run by ui_install_test.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "ports/usb_port.h"
#include "tests/wine/fault_seam.h"
#include "tests/wine/ports_fixture.h"
#include "tests/wine/ui_driver.h"

namespace {

const std::wstring kClassKey =
    L"System\\CurrentControlSet\\Control\\DeviceClasses\\{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}\\";

// Started without its library search kept to the system folder (SetDefaultDllDirectories
// missing or failing), the installer ends with exit code 2 and shows nothing. When it cannot
// tell its own path, it says its path is too long.
void StartUpFails(const std::wstring& program) {
  for (const wchar_t* faults : {L"SetDefaultDllDirectories:0", L"SetDefaultDllDirectories:1"}) {
    const Installer installer(program, {}, faults);
    CHECK(installer.Ended(10000) && installer.ExitCode() == 2);
  }
  const Installer installer(program, {}, L"GetModuleFileNameW:1:8");
  const HWND box =
      installer.WaitForDialog([](HWND dialog) { return WindowText(dialog) == L"ERROR"; });
  CHECK(WindowText(GetDlgItem(box, kMessageBoxText)) ==
        L"安装程序所在的路径过长，请将安装程序移至较短的路径后重新运行。");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  CHECK(installer.Ended(10000) && installer.ExitCode() == 0);
}

// The report of the seam in this program, armed with faults while a fresh detector finds a
// printer and its port; answer becomes "1 USB012", or "0 -" when there is none.
std::vector<std::wstring> DetectUnder(const wchar_t* faults, std::wstring& answer) {
  static const HMODULE seam = LoadLibraryW(SeamPath().c_str());
  const auto arm = reinterpret_cast<BOOL (*)(const wchar_t*)>(
      reinterpret_cast<void*>(GetProcAddress(seam, "SeamArm")));
  const auto disarm =
      reinterpret_cast<void (*)()>(reinterpret_cast<void*>(GetProcAddress(seam, "SeamDisarm")));
  CHECK(arm != nullptr && disarm != nullptr && arm(faults));
  {
    CUSBPort detector;
    PortNameText port;
    CHECK(port.Assign(L"-"));
    answer = std::to_wstring(detector.GetPortName(port)) + L" " + port.c_str();
  }
  if (disarm != nullptr) disarm();
  return SeamReport();
}

// A device-class entry of the printer's device that is not one of its interfaces, named name.
void AddClassEntry(const std::wstring& name, const VirtualPrinter& printer, DWORD port) {
  const std::wstring entry = kClassKey + name;
  const std::wstring instance = L"USB\\" + printer.ids + L"\\" + printer.serial;
  const DWORD linked = 1;
  CHECK(RegSetKeyValueW(HKEY_LOCAL_MACHINE, entry.c_str(), L"DeviceInstance", REG_SZ,
                        instance.c_str(),
                        static_cast<DWORD>((instance.size() + 1) * sizeof(wchar_t))) == 0 &&
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, (entry + L"\\#\\Control").c_str(), L"Linked", REG_DWORD,
                        &linked, sizeof(linked)) == 0 &&
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, (entry + L"\\#\\Device Parameters").c_str(),
                        L"Port Number", REG_DWORD, &port, sizeof(port)) == 0);
}

// The detector's failure paths, each leaving nothing open once the detector has ended:
// - an interface whose path cannot be read (size query, fetch), whose record cannot be
//   allocated, or whose printer cannot be opened is passed over for the next printer;
// - no interface past the 127th is examined;
// - the scan of the class key ends after the last entry, or after 16384 failing reads;
// - an entry whose name leaves no room for the port number's key path is the device's entry
//   without a port (no port at all); one whose name leaves no room for the Linked key's path
//   is skipped for the next entry.
void DiscoveryFails(const std::wstring&) {
  const VirtualPrinter first{L"VID_B3F1&PID_10B4", L"5&5eed&0&1", 3};
  const VirtualPrinter second{L"VID_D7A5&PID_10A1", L"5&5eed&0&2", 12};
  CHECK(RegisterPrinter(first) && RegisterPrinter(second));
  std::wstring answer;
  CHECK(Held(DetectUnder(L"", answer)).empty() && answer == L"1 USB003");
  for (const wchar_t* faults :
       {L"SetupDiGetDeviceInterfaceDetailW:1", L"SetupDiGetDeviceInterfaceDetailW:2",
        L"LocalAlloc:1:8", L"CreateFileW:1:32"}) {
    CHECK(Held(DetectUnder(faults, answer)).empty() && answer == L"1 USB012");
  }
  UnregisterPrinter(first);
  for (const auto& [faults, calls] : {std::make_pair(L"RegQueryValueExW:*", L"2"),
                                      std::make_pair(L"RegEnumKeyExW:*", L"16384")}) {
    const std::vector<std::wstring> report = DetectUnder(faults, answer);
    CHECK(answer == L"0 -" && Held(report).empty());
    CHECK(Reported(report, std::wstring(L"RegEnumKeyExW calls ") + calls));
  }
  const std::pair<std::size_t, const wchar_t*> names[] = {
      {234, L"1 USB001"}, {235, L"0 -"}, {243, L"0 -"}, {244, L"1 USB012"}};
  for (const auto& [length, expected] : names) {
    const std::wstring name = L"##?#" + std::wstring(length - 4, L'0');
    AddClassEntry(name, second, 1);
    CHECK(Held(DetectUnder(L"", answer)).empty() && answer == expected);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClassKey + name).c_str());
  }
  std::vector<VirtualPrinter> before;
  for (int i = 0; i < 127; ++i) {
    before.push_back({L"VID_B3F1&PID_0001", L"5&5eed&1&" + std::to_wstring(100 + i), 2});
    CHECK(RegisterPrinter(before.back()));
  }
  const std::vector<std::wstring> report = DetectUnder(L"", answer);
  CHECK(answer == L"0 -" && Reported(report, L"CreateFileW calls 127"));
  for (const VirtualPrinter& printer : before) UnregisterPrinter(printer);
  UnregisterPrinter(second);
}

}  // namespace

bool RunSeamScenario(const std::wstring& name, const std::wstring& program) {
  if (name == L"start-up-fails") {
    StartUpFails(program);
  } else if (name == L"discovery-fails") {
    DiscoveryFails(program);
  } else {
    return false;
  }
  return true;
}
