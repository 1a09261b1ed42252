// Discovery cost of one port page activation (FindDevice, then GetPortName) under Wine, with
// 200 device-class entries registered in the throwaway prefix, in two layouts:
//   126 other printers, linked and openable, before the supported printer, and 73 entries
//     after it: detection opens and closes each of the 126 before it finds the printer;
//   199 stale entries (printers no longer linked) before the supported printer: the registry
//     scan reads every entry before it reaches the printer's own.
// Prints the least and the median time of seven runs of each, with the part that detection
// and the platform's own device list take, and what one registry call costs on this machine;
// exits 1 when a least time is over 100 ms.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ports/usb_port.h"
#include "ports/usb_print_class.h"
#include "run/virtual_printer.h"

namespace {

constexpr int kEntries = 200;
constexpr int kRepetitions = 7;
constexpr double kLargestMs = 100.0;

std::wstring Serial(int index) {
  wchar_t serial[16] = {};
  std::swprintf(serial, 16, L"%04d", index);
  return serial;
}

// The device paths of the present USB printer interfaces, in the order Wine lists them.
std::vector<std::wstring> PresentPaths() {
  std::vector<std::wstring> paths;
  const UniqueDeviceInfoList set(SetupDiGetClassDevsW(&kUsbPrintInterfaceClass, nullptr, nullptr,
                                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof(data);
  for (DWORD i = 0;
       SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &kUsbPrintInterfaceClass, i, &data); ++i) {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(set.Get(), &data, nullptr, 0, &required, nullptr);
    std::vector<BYTE> record(required + sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(record.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (SetupDiGetDeviceInterfaceDetailW(set.Get(), &data, detail, required, nullptr, nullptr)) {
      paths.push_back(detail->DevicePath);
    }
  }
  return paths;
}

double Now() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The least time leaves out what the machine spent on other work during a run.
double Least(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

// The printers of a layout: the supported one at position, the rest before and after it.
// Wine lists entries in the order of their names, which begin with the IDs: other printers
// are named so that they sort before or after the supported one as their position says.
std::vector<VirtualPrinter> Layout(int position, bool othersLinked) {
  std::vector<VirtualPrinter> printers;
  for (int i = 0; i < kEntries; ++i) {
    VirtualPrinter printer{L"VID_D7A5&PID_10A1", Serial(i), 1};
    if (i != position) {
      if (othersLinked) printer.ids = i < position ? L"VID_D7A5&PID_0FFF" : L"VID_D7A5&PID_FFFF";
      printer.linked = othersLinked;
      printer.portNumber = 2;
    }
    printers.push_back(printer);
  }
  return printers;
}

// Where Wine lists the printer among the present interfaces, or -1.
int PresentIndexOf(const VirtualPrinter& printer) {
  const std::vector<std::wstring> paths = PresentPaths();
  const auto found = std::find(paths.begin(), paths.end(), DevicePathOf(printer));
  return found == paths.end() ? -1 : static_cast<int>(found - paths.begin());
}

double Measure(const char* name, int position, bool othersLinked) {
  const std::vector<VirtualPrinter> printers = Layout(position, othersLinked);
  for (const VirtualPrinter& printer : printers) {
    if (!RegisterPrinter(printer)) {
      std::fprintf(stderr, "%s: the printers could not be registered\n", name);
      return -1;
    }
  }
  if (PresentIndexOf(printers[position]) != (othersLinked ? position : 0)) {
    std::fprintf(stderr, "%s: Wine does not list the printer where the layout puts it\n", name);
    return -1;
  }
  std::vector<double> times;
  std::vector<double> detections;
  std::vector<double> listings;
  for (int run = 0; run < kRepetitions; ++run) {
    const double listingStart = Now();
    SetupDiDestroyDeviceInfoList(SetupDiGetClassDevsW(&kUsbPrintInterfaceClass, nullptr, nullptr,
                                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    listings.push_back(Now() - listingStart);
    CUSBPort detector;
    IdText vid;
    IdText pid;
    const double detectionStart = Now();
    const int detected = detector.FindDevice(vid, pid);
    detections.push_back(Now() - detectionStart);
    PortNameText port;
    const double start = Now();
    const int found = detector.GetPortName(port);
    times.push_back(Now() - start);
    if (detected != 1 || found != 1 || port != L"USB001") {
      std::fprintf(stderr, "%s: the printer was not found\n", name);
      return -1;
    }
  }
  for (const VirtualPrinter& printer : printers) UnregisterPrinter(printer);
  const double best = Least(times);
  std::printf(
      "wine, %d class entries, %s: %.1f ms (median %.1f ms); detection alone %.1f ms, "
      "of which the platform's device list %.1f ms\n",
      kEntries, name, best, Median(times), Least(detections), Least(listings));
  return best;
}

}  // namespace

// The machine's speed for this kind of work: every registry call is a round trip to the
// Wine server, and discovery is made of little else.
void PrintRegistryCallCost() {
  constexpr int kPairs = 2000;
  const double start = Now();
  for (int i = 0; i < kPairs; ++i) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System", 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
    }
  }
  std::printf("wine, this machine: %.1f us per registry call\n",
              1000.0 * (Now() - start) / (2 * kPairs));
}

int main() {
  PrintRegistryCallCost();
  const double others = Measure("126 other printers first", 126, true);
  const double stale = Measure("199 stale entries first", 199, false);
  const bool met = others >= 0 && stale >= 0 && others <= kLargestMs && stale <= kLargestMs;
  return met ? 0 : 1;
}
