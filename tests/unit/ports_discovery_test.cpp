// Port discovery where Wine cannot take it: the exact arguments of the device open and the
// spooler load, scans that must end, and every handle, key, list and buffer released. Which
// printer and port real registrations give is the Wine tests' part (`discovery`).
#include <algorithm>
#include <vector>

#include "fixed_text_support.h"
#include "ports/spooler_ports.h"
#include "ports/usb_port.h"
#include "sim_test.h"

namespace {

using sim::DwordValue;

const std::u16string kSupported = u"vid_d7a5&pid_10a1";
const std::u16string kUnsupported = u"vid_d7a5&pid_3f0e";

class PortsTest : public SimTest {
 protected:
  static std::u16string PathOf(const std::u16string& ids) {
    const std::string serial = std::to_string(machine().interfaces.size());
    return u"\\\\?\\usb#" + ids + u"#" + std::u16string(serial.begin(), serial.end()) +
           u"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
  }
  static void Present(const std::vector<std::u16string>& ids) {
    sim::ResetMachine();
    for (const auto& id : ids) machine().interfaces.push_back(PathOf(id));
  }
  int Find() { return detector.FindDevice(vid, pid); }
  CUSBPort detector;
  IdText vid, pid;
};

// Opened for reading and writing without sharing, so that nothing else prints through the
// printer meanwhile; every other interface examined is closed again.
TEST_F(PortsTest, DetectionHoldsTheFirstSupportedPrinterUnsharedAndClosesTheOthers) {
  Present({kUnsupported, kSupported});
  {
    CUSBPort port;
    ASSERT_EQ(port.FindDevice(vid, pid), 1);
    EXPECT_EQ(pid, u"10A1");
    ASSERT_EQ(machine().opens.size(), 2u);
    for (const sim::FileOpen& open : machine().opens) {
      EXPECT_EQ(open.access, GENERIC_READ | GENERIC_WRITE);
      EXPECT_EQ(open.shareMode, 0u);
      EXPECT_EQ(open.flags, FILE_FLAG_OVERLAPPED);
    }
    ASSERT_EQ(machine().held.size(), 1u);
    EXPECT_EQ(machine().held.begin()->second, machine().interfaces[1]);
  }
  EXPECT_TRUE(machine().AllReleased()) << "the detector closes the printer";
  for (std::size_t before : {126, 127}) {  // no interface past index 126 is examined
    Present(std::vector<std::u16string>(before, kUnsupported));
    machine().interfaces.push_back(PathOf(kSupported));
    EXPECT_EQ(Find(), before == 126 ? 1 : 0);
    EXPECT_EQ(machine().opens.size(), 127u);
  }
}

// An interface whose path cannot be read or whose printer cannot be opened, or memory running
// out, passes that printer over for the next.
TEST_F(PortsTest, DetectionPassesOverWhatCannotBeReadOrOpened) {
  const std::pair<sim::Call, int> cases[] = {
      {&SetupDiGetDeviceInterfaceDetailW, 1},  // the size query
      {&SetupDiGetDeviceInterfaceDetailW, 2},  // the fetch
      {&LocalAlloc, 1},
      {&CreateFileW, 1},
  };
  for (const auto& [call, nth] : cases) {
    Present({kSupported, u"vid_b3f1&pid_10b4"});
    machine().Fail(call, ERROR_ACCESS_DENIED, nth);
    EXPECT_EQ(Find(), 1);
    EXPECT_EQ(pid, u"10B4");
    EXPECT_TRUE(machine().buffers.empty());
  }
}

const std::u16string kOurs = u"USB\\VID_D7A5&PID_10A1\\5&2f1a&0&1";
const std::u16string kOther = u"USB\\VID_D7A5&PID_10A2\\5&2f1a&0&3";

struct Entry {
  std::u16string instance;
  DWORD portNumber;
};
const std::vector<Entry> kTwoOfOurs = {{kOurs, 1}, {kOurs + u"2", 2}};

class GetPortNameTest : public PortsTest {
 protected:
  // The device's port from these device-class entries, named as the platform names them
  // unless the first is given a name, each with its "DeviceInstance", "#\Control" "Linked" 1
  // and "#\Device Parameters" "Port Number".
  static std::u16string Resolve(const std::vector<Entry>& entries, std::u16string name = {}) {
    sim::Machine& machine = sim::TheMachine();
    machine.interfaces = {PathOf(kSupported)};
    for (const Entry& entry : entries) {
      if (name.empty()) name = u"##?#" + entry.instance;
      std::replace(name.begin(), name.end(), u'\\', u'#');
      machine.classEntries.push_back(name);
      machine.values[name + u"\\DeviceInstance"] = sim::StringValue(entry.instance);
      machine.values[name + u"\\#\\Control\\Linked"] = DwordValue(1);
      machine.values[name + u"\\#\\Device Parameters\\Port Number"] = DwordValue(entry.portNumber);
      name.clear();
    }
    CUSBPort detector;
    PortNameText port = TextOf<PortNameText>(u"none");
    const int result = detector.GetPortName(port);
    EXPECT_EQ(result, port == u"none" ? 0 : 1);
    EXPECT_EQ(machine.held.size(), 1u) << "only the printer is held";
    EXPECT_TRUE(machine.buffers.empty());
    return port.c_str();
  }
};

TEST_F(GetPortNameTest, TheScanEndsWithTheEntriesOrAfter16384) {
  EXPECT_EQ(Resolve({{kOther, 1}}), u"none");
  // The entry's two reads, and the one that finds no more.
  EXPECT_EQ(machine().Count(&SetupDiOpenClassRegKeyExW), 3);
  Present({});
  for (int nth = 1; nth <= 16385; ++nth) machine().Fail(&RegEnumKeyExW, ERROR_ACCESS_DENIED, nth);
  EXPECT_EQ(Resolve({}), u"none");
  EXPECT_EQ(machine().Count(&RegEnumKeyExW), 16384);
}

TEST_F(GetPortNameTest, LongEntryNamesAreSkippedWhereTheirPathWouldNotFit) {
  // Name, terminator and "#", "Device Parameters" need 21 more characters of 256.
  const std::pair<std::size_t, std::u16string> cases[] = {
      {234, u"USB001"}, {235, u"none"}, {243, u"none"}, {244, u"USB002"}};
  for (const auto& [length, port] : cases) {
    Present({});
    EXPECT_EQ(Resolve(kTwoOfOurs, std::u16string(length, u'n')), port) << length;
  }
}

// Keeps every name handed over, in order.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor): never deleted through a base.
class NameList final : public PortNameSink {
 public:
  void Add(const WCHAR* name) override { names.emplace_back(name); }
  std::vector<std::u16string> names;
};

class EnumSpoolerPortsTest : public SimTest {};

TEST_F(EnumSpoolerPortsTest, ListsThePortsWithTheSpoolerLoadedOnceByFullPath) {
  machine().systemDirectory = u"D:\\WINNT\\system32";
  machine().ports = {u"LPT1:", u"USB001"};
  NameList list;
  EXPECT_EQ(EnumSpoolerPorts(list), 1);
  EXPECT_EQ(EnumSpoolerPorts(list), 1);
  EXPECT_EQ(list.names, (std::vector<std::u16string>{u"LPT1:", u"USB001", u"LPT1:", u"USB001"}));
  ASSERT_EQ(machine().loads.size(), 1u);
  EXPECT_EQ(machine().loads[0].path, u"D:\\WINNT\\system32\\winspool.drv");
  EXPECT_EQ(machine().loads[0].flags, LOAD_WITH_ALTERED_SEARCH_PATH);
  EXPECT_TRUE(machine().AllReleased());
}

// A spooler that cannot be asked hands over nothing, and the page falls back to its own list.
// A library that offers one of the two functions stays loaded; one that offers neither is freed.
TEST_F(EnumSpoolerPortsTest, FailuresHandOverNothing) {
  const struct {
    sim::Call call;
    std::vector<int> nth;
    int result, librariesKept;
  } cases[] = {
      {&EnumPortsW, {2}, 0, 1},  // e.g. the list grew between the two calls
      {&GetProcAddress, {1}, 0, 1},
      {&GetProcAddress, {2}, 1, 1},
      {&GetProcAddress, {1, 2}, 0, 0},
  };
  for (const auto& c : cases) {
    sim::ResetMachine();
    machine().ports = {u"LPT1:"};
    for (int nth : c.nth) machine().Fail(c.call, ERROR_ACCESS_DENIED, nth);
    NameList list;
    EXPECT_EQ(EnumSpoolerPorts(list), c.result);
    EXPECT_EQ(list.names.size(), static_cast<std::size_t>(c.result));
    EXPECT_EQ(machine().librariesLoaded, c.librariesKept);
    EXPECT_TRUE(machine().AllReleased());
  }
}

}  // namespace
