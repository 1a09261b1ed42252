#include "run/virtual_printer.h"

#include <cwctype>

#include "ports/supported_devices.h"

namespace {

const wchar_t kClassKey[] =
    L"System\\CurrentControlSet\\Control\\DeviceClasses\\{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}";
const wchar_t kEnumKey[] = L"System\\CurrentControlSet\\Enum\\";
const wchar_t kClassSuffix[] = L"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
// The setup class of USB devices; Wine lists an interface only when its device has one.
const wchar_t kUsbSetupClass[] = L"{36FC9E60-C465-11CF-8056-444553540000}";

std::wstring InstanceOf(const VirtualPrinter& printer) {
  return L"USB\\" + printer.ids + L"\\" + printer.serial;
}

std::wstring EntryNameOf(const VirtualPrinter& printer) {
  return L"##?#USB#" + printer.ids + L"#" + printer.serial + kClassSuffix;
}

// The device path's name as a file in the prefix's dosdevices folder, on drive Z:.
std::wstring DosDeviceFileOf(const VirtualPrinter& printer) {
  wchar_t prefix[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return L"";
  std::wstring file =
      std::wstring(L"Z:") + prefix + L"\\dosdevices\\" + DevicePathOf(printer).substr(4);
  for (wchar_t& c : file) c = c == L'/' ? L'\\' : c;
  return file;
}

// Creates the key below HKEY_LOCAL_MACHINE and sets one value in it, a text or a DWORD.
bool WriteValue(const std::wstring& path, const wchar_t* name, const std::wstring* text,
                DWORD number = 0) {
  HKEY created = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &created, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const UniqueRegistryKey key(created);
  const auto* bytes = text != nullptr ? reinterpret_cast<const BYTE*>(text->c_str())
                                      : reinterpret_cast<const BYTE*>(&number);
  const auto size = text != nullptr ? (text->size() + 1) * sizeof(wchar_t) : sizeof(number);
  return RegSetValueExW(key.Get(), name, 0, text != nullptr ? REG_SZ : REG_DWORD, bytes,
                        static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

}  // namespace

std::wstring DevicePathOf(const VirtualPrinter& printer) {
  std::wstring path = L"\\\\?\\usb#" + printer.ids + L"#" + printer.serial + kClassSuffix;
  for (wchar_t& c : path) c = static_cast<wchar_t>(std::towlower(c));
  return path;
}

bool RegisterPrinter(const VirtualPrinter& printer) {
  const std::wstring entry = std::wstring(kClassKey) + L"\\" + EntryNameOf(printer);
  const std::wstring instance = InstanceOf(printer);
  const std::wstring link = L"\\\\?\\" + EntryNameOf(printer).substr(4);
  const std::wstring port = std::to_wstring(printer.portNumber);
  const std::wstring setupClass = kUsbSetupClass;
  bool registered =
      WriteValue(entry, L"DeviceInstance", &instance) &&
      WriteValue(entry + L"\\#", L"SymbolicLink", &link) &&
      WriteValue(entry + L"\\#\\Control", L"Linked", nullptr, printer.linked ? 1 : 0) &&
      WriteValue(entry + L"\\#\\Device Parameters", L"Port Number",
                 printer.portAsString ? &port : nullptr, printer.portNumber) &&
      WriteValue(kEnumKey + instance, L"ClassGUID", &setupClass);
  if (registered && printer.openable) {
    const UniqueFileHandle file(CreateFileW(DosDeviceFileOf(printer).c_str(), GENERIC_WRITE, 0,
                                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                            nullptr));
    registered = file.IsValid();
  }
  return registered;
}

void UnregisterPrinter(const VirtualPrinter& printer) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE,
                 (std::wstring(kClassKey) + L"\\" + EntryNameOf(printer)).c_str());
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kEnumKey + InstanceOf(printer)).c_str());
  if (printer.openable) DeleteFileW(DosDeviceFileOf(printer).c_str());
}

VirtualPrinter SupportedPrinter() {
  const SupportedDevice& row = SupportedDeviceTable[0];
  return {std::wstring(L"VID_") + row.Vid + L"&PID_" + row.Pid, L"7&2b0b&0&1", 1};
}
