// The real detector in this program, against Wine's SetupAPI, registry and device files, also
// with one call or another failing (fault_seam.h); and the driver package beside the program,
// read with the platform's INF functions.
#include <windows.h>

#include <setupapi.h>

#include <string>
#include <utility>
#include <vector>

#include "ports/supported_devices.h"
#include "ports/usb_port.h"
#include "run/virtual_printer.h"
#include "tests/wine/fault_seam.h"
#include "tests/wine/scenario.h"

namespace {

// The answer of the detector (a new one when none is given) and the port it names: "1 USB012",
// or "0 -" with the name untouched.
std::wstring Detect(CUSBPort* given = nullptr) {
  CUSBPort fresh;
  PortNameText port;
  CHECK(port.Assign(L"-"));
  const int found = (given != nullptr ? given : &fresh)->GetPortName(port);
  return std::to_wstring(found) + L" " + port.c_str();
}

// Held alone: even a reader that shares everything is refused.
bool IsHeld(const VirtualPrinter& printer) {
  const UniqueFileHandle probe(CreateFileW(DevicePathOf(printer).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
  return !probe.IsValid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

// The real detector against Wine's SetupAPI, registry and device files. Listed before the
// supported printer (Wine lists them by entry name): an entry of the same device no longer
// linked, an unsupported printer, and a supported one that cannot be opened, all passed over.
// The supported printer is found on the port its number names (here a text), and held alone
// until the detector ends, also when asked again; when another program holds it, nothing is.
void Discovery(const Arguments&) {
  const VirtualPrinter supported{L"VID_D7A5&PID_10A1", L"5&1c0ffee&0&1", 12, true};
  VirtualPrinter stale{L"VID_D7A5&PID_10A1", L"5&1c0ffee&0&0", 7};
  stale.linked = false;
  const VirtualPrinter unsupported{L"VID_B3F1&PID_0001", L"5&1c0ffee&0&2", 2};
  VirtualPrinter unopenable{L"VID_B3F1&PID_10B4", L"5&1c0ffee&0&3", 3};
  unopenable.openable = false;
  CHECK(Detect() == L"0 -");
  for (const VirtualPrinter& printer : {stale, unsupported, unopenable, supported}) {
    CHECK(RegisterPrinter(printer));
  }
  {
    CUSBPort detector;
    CHECK(Detect(&detector) == L"1 USB012");
    CHECK(!IsHeld(unsupported) && IsHeld(supported));
    CHECK(Detect(&detector) == L"1 USB012");
  }
  CHECK(!IsHeld(supported));
  const UniqueFileHandle other(CreateFileW(DevicePathOf(supported).c_str(),
                                           GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           0, nullptr));
  CHECK(other.IsValid());
  CHECK(Detect() == L"0 -");
  for (const VirtualPrinter& printer : {stale, unsupported, unopenable, supported}) {
    UnregisterPrinter(printer);
  }
}

const std::wstring kClassKey =
    L"System\\CurrentControlSet\\Control\\DeviceClasses\\{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}\\";

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
void DiscoveryFails(const Arguments&) {
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

// The fields of a line of an INF, its key first.
std::vector<std::wstring> Fields(INFCONTEXT& line) {
  std::vector<std::wstring> fields;
  for (DWORD i = 0; i <= SetupGetFieldCount(&line); ++i) {
    wchar_t text[512] = {};
    SetupGetStringFieldW(&line, i, text, 512, nullptr);
    fields.emplace_back(text);
  }
  return fields;
}

// The driver package as the platform reads it, beyond what every install shows (the model
// for the installing processor, its GPD beside the INF): a printer-class INF whose
// [Manufacturer] leads, for x86, x64 and Arm64, to one model named exactly like the printer
// the installer creates, all three to one install section; [SupportedUsbDevices] lists the
// installer's supported-device table, row for row.
void DriverPackage(const Arguments& args) {
  const std::wstring path = FolderOf(args.program) + L"PrinterDriver\\series2\\OEMPRINT.INF";
  GUID classGuid{};
  wchar_t className[64] = {};
  CHECK(SetupDiGetINFClassW(path.c_str(), &classGuid, className, 64, nullptr) &&
        std::wstring(className) == L"Printer");
  const HINF inf = SetupOpenInfFileW(path.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
  INFCONTEXT line;
  CHECK(inf != INVALID_HANDLE_VALUE && SetupFindFirstLineW(inf, L"Manufacturer", nullptr, &line));
  if (inf == INVALID_HANDLE_VALUE) return;
  const std::vector<std::wstring> manufacturer = Fields(line);
  std::wstring install;
  for (const wchar_t* decoration : {L"NTx86", L"NTamd64", L"NTarm64"}) {
    const std::wstring models = manufacturer.at(1) + L"." + decoration;
    CHECK(SetupGetLineCountW(inf, models.c_str()) == 1 &&
          SetupFindFirstLineW(inf, models.c_str(), nullptr, &line));
    const std::vector<std::wstring> model = Fields(line);
    CHECK(model.at(0) == kPrinterName && (install.empty() || install == model.at(1)));
    install = model.at(1);
  }
  std::vector<std::wstring> table, listed;
  for (const SupportedDevice& device : SupportedDeviceTable) {
    table.push_back(std::wstring(L"USB\\VID_") + device.Vid + L"&PID_" + device.Pid);
  }
  for (BOOL more = SetupFindFirstLineW(inf, L"SupportedUsbDevices", nullptr, &line); more;
       more = SetupFindNextLine(&line, &line)) {
    listed.push_back(Fields(line).back());
  }
  CHECK(listed == table);
  SetupCloseInfFile(inf);
}

}  // namespace

const Scenarios& DetectorScenarios() {
  static const Scenarios scenarios = {
      {L"driver-package", DriverPackage},
      {L"discovery", Discovery},
      {L"discovery-fails", DiscoveryFails},
  };
  return scenarios;
}
