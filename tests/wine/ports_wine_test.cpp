// Port discovery against Wine's own SetupAPI, registry and spooler, with virtual USB printers
// registered in the throwaway prefix. Each scenario registers its printers, runs the real
// detector and removes them again.
//   ports_wine_test            every scenario
//   ports_wine_test NAME       that scenario only
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ports/spooler_ports.h"
#include "ports/usb_port.h"
#include "ports/usb_print_class.h"
#include "tests/wine/ports_fixture.h"
#include "tests/wine/wine_check.h"

namespace {

const VirtualPrinter kSupported{L"VID_D7A5&PID_10A1", L"5&1c0ffee&0&1", 1};
// Sorts before kSupported in Wine's enumeration, which follows the entry names.
const VirtualPrinter kUnsupported{L"VID_B3F1&PID_0001", L"5&1c0ffee&0&2", 2};
const VirtualPrinter kOtherSupported{L"VID_B3F1&PID_10B4", L"5&1c0ffee&0&3", 3};

// Registers the printers for the length of one scenario.
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

bool IsHeld(const VirtualPrinter& printer) {
  const UniqueFileHandle probe = HoldPrinter(printer);
  return !probe.IsValid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

std::wstring Resolve(CUSBPort& detector, int expectedResult) {
  PortNameText port;
  CHECK(port.Assign(L"untouched"));
  CHECK(detector.GetPortName(port) == expectedResult);
  return port.c_str();
}

std::wstring Resolve(int expectedResult) {
  CUSBPort detector;
  return Resolve(detector, expectedResult);
}

void SupportedPrinterOnPortOne() {
  CHECK(Resolve(0) == L"untouched");  // nothing present yet
  Printers printers{kSupported};
  CHECK(PresentPaths() == std::vector<std::wstring>{DevicePathOf(kSupported)});
  CUSBPort detector;
  CHECK(Resolve(detector, 1) == L"USB001");
  CHECK(IsHeld(kSupported));
}

void UnsupportedBeforeSupported() {
  Printers printers{kUnsupported, kSupported};
  CHECK(PresentPaths() ==
        (std::vector<std::wstring>{DevicePathOf(kUnsupported), DevicePathOf(kSupported)}));
  CUSBPort detector;
  CHECK(Resolve(detector, 1) == L"USB001");
  CHECK(!IsHeld(kUnsupported));
  CHECK(IsHeld(kSupported));
}

void UnopenableSupportedIsSkipped() {
  VirtualPrinter unopenable = kOtherSupported;
  unopenable.openable = false;
  {
    Printers printers{unopenable};
    CHECK(Resolve(0) == L"untouched");
  }
  Printers printers{unopenable, kSupported};
  CHECK(PresentPaths().size() == 2);
  CHECK(Resolve(1) == L"USB001");
}

void HeldElsewhereIsSkipped() {
  Printers printers{kSupported};
  {
    const UniqueFileHandle other = HoldPrinter(kSupported);
    CHECK(other.IsValid());
    CHECK(Resolve(0) == L"untouched");
  }
  CHECK(Resolve(1) == L"USB001");
}

void TwoDetectionsFindTheSamePrinter() {
  Printers printers{kSupported};
  {
    CUSBPort detector;
    CHECK(Resolve(detector, 1) == L"USB001");
    CHECK(Resolve(detector, 1) == L"USB001");
  }
  CHECK(!IsHeld(kSupported));
  CHECK(Resolve(1) == L"USB001");
}

void PortNumbersGiveThreeDigitNames() {
  VirtualPrinter twelve = kSupported;
  twelve.portNumber = 12;
  {
    Printers printers{twelve};
    CHECK(Resolve(1) == L"USB012");
  }
  VirtualPrinter text = kSupported;
  text.portNumber = 3;
  text.portAsString = true;
  Printers printers{text};
  CHECK(Resolve(1) == L"USB003");
}

void UnlinkedEntryIsSkipped() {
  VirtualPrinter stale = kSupported;
  stale.serial = L"5&1c0ffee&0&0";  // sorts first
  stale.linked = false;
  stale.portNumber = 7;
  Printers printers{stale, kSupported};
  CHECK(PresentPaths() == std::vector<std::wstring>{DevicePathOf(kSupported)});
  CHECK(Resolve(1) == L"USB001");
}

// Keeps every name handed over, in order.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor): never deleted through a base.
class NameList final : public PortNameSink {
 public:
  void Add(const WCHAR* name) override { names.emplace_back(name); }
  std::vector<std::wstring> names;
};

void SpoolerPortsInWinesOrder() {
  std::vector<std::wstring> expected;
  DWORD needed = 0;
  DWORD returned = 0;
  EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed);
  CHECK(EnumPortsW(nullptr, 1, buffer.data(), needed, &needed, &returned));
  const auto* records = reinterpret_cast<const PORT_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) expected.push_back(records[i].pName);
  CHECK(returned > 0);

  NameList ports;
  CHECK(EnumSpoolerPorts(ports) == 1);
  CHECK(ports.names == expected);
}

struct Scenario {
  const char* name;
  void (*run)();
};

const Scenario kScenarios[] = {
    {"supported_on_port_1", SupportedPrinterOnPortOne},
    {"unsupported_before_supported", UnsupportedBeforeSupported},
    {"unopenable_supported_skipped", UnopenableSupportedIsSkipped},
    {"held_elsewhere_skipped", HeldElsewhereIsSkipped},
    {"two_detections", TwoDetectionsFindTheSamePrinter},
    {"port_numbers", PortNumbersGiveThreeDigitNames},
    {"unlinked_entry_skipped", UnlinkedEntryIsSkipped},
    {"spooler_ports", SpoolerPortsInWinesOrder},
};

}  // namespace

int main(int argc, char** argv) {
  for (const Scenario& scenario : kScenarios) {
    if (argc > 1 && std::strcmp(argv[1], scenario.name) != 0) continue;
    const int failedBefore = FailedChecks();
    scenario.run();
    std::printf("%s: %s\n", scenario.name, FailedChecks() == failedBefore ? "passed" : "FAILED");
  }
  return CheckResult();
}
