// Port detection against Wine's own SetupAPI, registry and device files, with virtual USB
// printers registered in the throwaway prefix: which printer the real detector picks, in what
// order, which it skips, how it names the port, and that it holds the printer it found, alone.
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ports/usb_port.h"
#include "tests/wine/ports_fixture.h"
#include "tests/wine/wine_check.h"

namespace {

const VirtualPrinter kSupported{L"VID_D7A5&PID_10A1", L"5&1c0ffee&0&1", 1};
// Sorts before kSupported in Wine's enumeration, which follows the entry names.
const VirtualPrinter kUnsupported{L"VID_B3F1&PID_0001", L"5&1c0ffee&0&2", 2};
const VirtualPrinter kOtherSupported{L"VID_B3F1&PID_10B4", L"5&1c0ffee&0&3", 3};

// Registers the printers for the length of one case.
class Printers {
 public:
  Printers(std::initializer_list<VirtualPrinter> printers) : printers_(printers) {
    for (const VirtualPrinter& printer : printers_) CHECK(RegisterPrinter(printer));
  }
  ~Printers() {
    for (const VirtualPrinter& printer : printers_) UnregisterPrinter(printer);
  }

 private:
  std::vector<VirtualPrinter> printers_;
};

// Held alone: even a reader that shares everything is refused.
bool IsHeld(const VirtualPrinter& printer) {
  const UniqueFileHandle probe(CreateFileW(DevicePathOf(printer).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
  return !probe.IsValid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

// The detector's answer and the port it names: "1 USB001", or "0 -" with the name untouched.
std::wstring Detect(CUSBPort& detector) {
  PortNameText port;
  CHECK(port.Assign(L"-"));
  return std::to_wstring(detector.GetPortName(port)) + L" " + port.c_str();
}

std::wstring Detect() {
  CUSBPort detector;
  return Detect(detector);
}

VirtualPrinter OnPort(VirtualPrinter printer, DWORD number, bool asText) {
  printer.portNumber = number;
  printer.portAsString = asText;
  return printer;
}

}  // namespace

int main() {
  CHECK(Detect() == L"0 -");
  {
    // An unsupported printer listed first is passed over and let go; the supported one is
    // found and held without sharing, again by the same detector, and let go with it.
    Printers printers{kUnsupported, kSupported};
    CHECK(PresentPaths() ==
          (std::vector<std::wstring>{DevicePathOf(kUnsupported), DevicePathOf(kSupported)}));
    {
      CUSBPort detector;
      CHECK(Detect(detector) == L"1 USB001");
      CHECK(!IsHeld(kUnsupported));
      CHECK(IsHeld(kSupported));
      CHECK(Detect(detector) == L"1 USB001");
    }
    CHECK(!IsHeld(kSupported));
    // A printer another program holds is passed over.
    const UniqueFileHandle other = HoldPrinter(kSupported);
    CHECK(other.IsValid());
    CHECK(Detect() == L"0 -");
  }
  // A supported printer that cannot be opened is passed over; so is an entry that is not
  // linked (a printer no longer connected), even when it sorts first.
  VirtualPrinter unopenable = kOtherSupported;
  unopenable.openable = false;
  VirtualPrinter stale = OnPort(kSupported, 7, false);
  stale.serial = L"5&1c0ffee&0&0";
  stale.linked = false;
  for (const VirtualPrinter& skipped : {unopenable, stale}) {
    {
      Printers printers{skipped};
      CHECK(Detect() == L"0 -");
    }
    Printers printers{skipped, kSupported};
    CHECK(Detect() == L"1 USB001");
  }
  // The port number, a DWORD or a text, names the port with at least three digits.
  for (const auto& [printer, name] : {std::pair{OnPort(kSupported, 12, false), L"1 USB012"},
                                      std::pair{OnPort(kSupported, 3, true), L"1 USB003"}}) {
    Printers printers{printer};
    CHECK(Detect() == name);
  }
  return CheckResult();
}
