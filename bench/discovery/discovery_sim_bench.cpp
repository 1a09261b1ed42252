// Discovery cost of one port page activation (FindDevice, then GetPortName) against the
// simulated machine: 126 unsupported interfaces before the supported printer, the most that
// detection examines and still finds it, and the printer's own device-class entry after
// entries-1 linked entries of other printers, each of which costs two reads. Prints the time
// of each size and the ratio of the 10,000-entry time to the 1,000-entry one; exits 1 when
// that ratio is over 11, i.e. when the cost grows faster than the number of entries.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "ports/usb_port.h"

namespace {

constexpr int kRepetitions = 7;
constexpr double kLargestRatio = 11.0;
const char16_t kClassSuffix[] = u"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

std::u16string Decimal(int value) {
  const std::string digits = std::to_string(value);
  return {digits.begin(), digits.end()};
}

void AddEntry(const std::u16string& instance, DWORD port) {
  sim::Machine& machine = sim::TheMachine();
  std::u16string name = u"##?#" + instance + kClassSuffix;
  std::replace(name.begin(), name.end(), u'\\', u'#');
  machine.classEntries.push_back(name);
  machine.values[name + u"\\DeviceInstance"] = sim::StringValue(instance);
  machine.values[name + u"\\#\\Control\\Linked"] = sim::DwordValue(1);
  machine.values[name + u"\\#\\Device Parameters\\Port Number"] = sim::DwordValue(port);
}

void Prepare(int entries) {
  sim::ResetMachine();
  auto& interfaces = sim::TheMachine().interfaces;
  for (int i = 0; i < 126; ++i) {
    interfaces.push_back(u"\\\\?\\usb#vid_d7a5&pid_ffff#" + Decimal(i) + kClassSuffix);
  }
  interfaces.push_back(u"\\\\?\\usb#vid_d7a5&pid_10a1#printer" + std::u16string(kClassSuffix));
  for (int i = 0; i + 1 < entries; ++i) AddEntry(u"USB\\VID_D7A5&PID_FFFF\\" + Decimal(i), 2);
  AddEntry(u"USB\\VID_D7A5&PID_10A1\\printer", 1);
}

// The least time of one activation over the repetitions, in milliseconds.
double Measure(int entries) {
  Prepare(entries);
  std::vector<double> times;
  for (int run = 0; run < kRepetitions; ++run) {
    sim::TheMachine().opens.clear();
    CUSBPort detector;
    PortNameText port;
    const auto start = std::chrono::steady_clock::now();
    const int found = detector.GetPortName(port);
    const auto stop = std::chrono::steady_clock::now();
    if (found != 1 || port != u"USB001") {
      std::fprintf(stderr, "the printer was not found with %d entries\n", entries);
      return -1;
    }
    times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
  }
  // The least time leaves out what the machine spent on other work during a run.
  return *std::min_element(times.begin(), times.end());
}

}  // namespace

int main() {
  double thousand = 0;
  double tenThousand = 0;
  for (int entries : {100, 1000, 10000}) {
    const double ms = Measure(entries);
    if (ms < 0) return 1;
    std::printf("simulated machine, 127 interfaces, %5d class entries: %9.3f ms\n", entries, ms);
    if (entries == 1000) thousand = ms;
    if (entries == 10000) tenThousand = ms;
  }
  const double ratio = tenThousand / thousand;
  std::printf("ratio 10,000 / 1,000 entries: %.2f (target at most %.0f)\n", ratio, kLargestRatio);
  return ratio <= kLargestRatio ? 0 : 1;
}
