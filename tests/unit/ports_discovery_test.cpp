#include <cstddef>
#include <tuple>
#include <vector>

#include "ports/usb_port.h"
#include "ports_sim_fixture.h"

namespace {

using sim::Call;
using std::make_tuple;
using std::tie;

const std::u16string kSupported = u"vid_d7a5&pid_10a1";
const std::u16string kOtherSupported = u"vid_b3f1&pid_10b4";
const std::u16string kUnsupported = u"vid_d7a5&pid_3f0e";

class FindDeviceTest : public PortsTest {
 protected:
  int Find(CUSBPort& port) { return port.FindDevice(vid, pid); }

  // The interfaces that CreateFileW was asked to open, by index.
  std::vector<std::size_t> Opened() {
    std::vector<std::size_t> opened;
    const auto& interfaces = machine().devices.interfaces;
    for (const sim::FileOpen& open : machine().devices.fileOpens) {
      for (std::size_t i = 0; i < interfaces.size(); ++i) {
        if (interfaces[i].path == open.path) opened.push_back(i);
      }
    }
    return opened;
  }

  // Everything is released except the devices the detectors keep.
  void ExpectHeld(std::size_t devices) {
    EXPECT_EQ(machine().openHandles.size(), devices);
    EXPECT_TRUE(machine().liveBuffers.empty());
    EXPECT_TRUE(machine().devices.AllReleased());
  }

  IdText vid = TextOf<IdText>(u"none");
  IdText pid = TextOf<IdText>(u"none");
};

TEST_F(FindDeviceTest, MakesEachCallWithTheExactArguments) {
  AddInterface(kSupported);
  CUSBPort port;
  ASSERT_EQ(Find(port), 1);
  EXPECT_EQ(tie(vid, pid), make_tuple(u"D7A5", u"10A1"));

  const sim::Event list = machine().EventsOf(Call::SetupDiGetClassDevsW).at(0);
  EXPECT_EQ(tie(list.detail, list.text, list.value, list.owner),
            make_tuple(u"{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}", u"", 0x12u, nullptr));
  const sim::Event enumeration = machine().EventsOf(Call::SetupDiEnumDeviceInterfaces).at(0);
  EXPECT_EQ(tie(enumeration.text, enumeration.flags),
            make_tuple(u"", sizeof(SP_DEVICE_INTERFACE_DATA)));

  // The size query passes no record; the fetch passes the required size, not the allocated.
  const std::size_t required = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) +
                               (PathOf(kSupported, u"0").size() + 1) * sizeof(WCHAR);
  const auto details = machine().EventsOf(Call::SetupDiGetDeviceInterfaceDetailW);
  ASSERT_EQ(details.size(), 2u);
  EXPECT_EQ(tie(details[0].text, details[0].detail, details[0].aux, details[0].value),
            make_tuple(u"query", u"", u"required", 0u));
  EXPECT_EQ(tie(details[1].text, details[1].detail, details[1].value, details[1].flags),
            make_tuple(u"fetch", u"", required, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)));
  EXPECT_EQ(machine().EventsOf(Call::LocalAlloc).at(0).value, 4 * required);

  const sim::FileOpen& open = machine().devices.fileOpens.at(0);
  EXPECT_EQ(tie(open.path, open.access, open.shareMode, open.security, open.disposition, open.flags,
                open.templateFile),
            make_tuple(PathOf(kSupported, u"0"), 0xC0000000u, 0u, false, 3u, 0x40000000u, false));
  EXPECT_EQ(CountOf(Call::SetupDiDestroyDeviceInfoList), 1u);
  ExpectHeld(1);
}

struct Discovery {
  const char* name;
  std::vector<std::pair<std::u16string, DWORD>> interfaces;  // IDs and open error
  int result;
  std::vector<std::size_t> opened;
  std::u16string pid;
};

TEST_F(FindDeviceTest, TakesTheFirstOpenableSupportedInterface) {
  const Discovery cases[] = {
      {"nothing present", {}, 0, {}, u"none"},
      {"unsupported first", {{kUnsupported, 0}, {kSupported, 0}}, 1, {0, 1}, u"10A1"},
      {"lower index wins", {{kOtherSupported, 0}, {kSupported, 0}}, 1, {0}, u"10B4"},
      {"unopenable skipped",
       {{kSupported, ERROR_ACCESS_DENIED}, {kOtherSupported, 0}},
       1,
       {0, 1},
       u"10B4"},
      {"only unopenable", {{kSupported, ERROR_FILE_NOT_FOUND}}, 0, {0}, u"none"},
      {"upper-case path", {{u"VID_D7A5&PID_10A1", 0}}, 1, {0}, u"10A1"},
  };
  for (const Discovery& c : cases) {
    SCOPED_TRACE(c.name);
    sim::ResetMachine();
    pid = TextOf<IdText>(u"none");
    for (const auto& [ids, error] : c.interfaces) AddInterface(ids, error);
    CUSBPort port;
    EXPECT_EQ(Find(port), c.result);
    EXPECT_EQ(Opened(), c.opened);
    EXPECT_EQ(pid, c.pid.c_str());
    ExpectHeld(c.result == 1 ? 1 : 0);
  }
}

TEST_F(FindDeviceTest, InterfaceWhoseOpenIsRefusedIsSkipped) {
  for (DWORD error : {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}) {
    SCOPED_TRACE(error);
    sim::ResetMachine();
    AddInterface(kSupported);
    AddInterface(kOtherSupported);
    machine().Fail(Call::CreateFileW, error);
    CUSBPort port;
    EXPECT_EQ(Find(port), 1);
    EXPECT_EQ(Opened(), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(pid, u"10B4");
    ExpectHeld(1);
  }
}

TEST_F(FindDeviceTest, ExaminesNoInterfacePastIndex126) {
  for (std::size_t before : {126, 127}) {
    sim::ResetMachine();
    for (std::size_t i = 0; i < before; ++i) AddInterface(kUnsupported);
    AddInterface(kSupported);
    CUSBPort port;
    EXPECT_EQ(Find(port), before < 127 ? 1 : 0);
    EXPECT_EQ(CountOf(Call::SetupDiEnumDeviceInterfaces), 127u);
    EXPECT_EQ(Opened().size(), 127u);
  }
  ExpectHeld(0);
}

TEST_F(FindDeviceTest, SkipsInterfacesWhosePathCannotBeHad) {
  {
    // A path of 260 characters does not fit the device-path buffer; 259 do.
    const std::u16string base = PathOf(kSupported, u"");
    machine().devices.interfaces.push_back({base + std::u16string(260 - base.size(), u'x')});
    machine().devices.interfaces.push_back({base + std::u16string(259 - base.size(), u'y')});
    CUSBPort port;
    EXPECT_EQ(Find(port), 1);
    EXPECT_EQ(Opened(), std::vector<std::size_t>{1});
  }
  // The size query yields no size, then a fetch fails: both skipped, buffers released.
  sim::ResetMachine();
  for (int i = 0; i < 3; ++i) AddInterface(kSupported);
  machine().Fail(Call::SetupDiGetDeviceInterfaceDetailW, ERROR_INVALID_PARAMETER, 1);
  machine().Fail(Call::SetupDiGetDeviceInterfaceDetailW, ERROR_INVALID_USER_BUFFER, 3);
  CUSBPort port;
  EXPECT_EQ(Find(port), 1);
  EXPECT_EQ(Opened(), std::vector<std::size_t>{2});
  EXPECT_EQ(CountOf(Call::LocalAlloc), 2u);
  ExpectHeld(1);
}

TEST_F(FindDeviceTest, PlatformFailuresGiveZeroAndReleaseEverything) {
  AddInterface(kSupported);
  CUSBPort port;
  machine().Fail(Call::SetupDiGetClassDevsW, ERROR_INVALID_DATA);
  EXPECT_EQ(Find(port), 0);
  EXPECT_EQ(CountOf(Call::SetupDiEnumDeviceInterfaces), 0u);
  EXPECT_EQ(CountOf(Call::SetupDiDestroyDeviceInfoList), 0u);
  machine().Fail(Call::SetupDiEnumDeviceInterfaces, ERROR_INVALID_USER_BUFFER);
  EXPECT_EQ(Find(port), 0);
  machine().Fail(Call::LocalAlloc, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(Find(port), 0);
  ExpectHeld(0);
}

TEST_F(FindDeviceTest, KeptDeviceIsClosedByTheNextRunAndByTheDetector) {
  AddInterface(kSupported);
  {
    CUSBPort port;
    ASSERT_EQ(Find(port), 1);
    // Opened without sharing, the device opens again only because the run closed it first.
    EXPECT_EQ(Find(port), 1);
    ExpectHeld(1);
  }
  ExpectHeld(0);
  // Held without sharing by another program: skipped.
  const UniqueFileHandle other(CreateFileW(machine().devices.interfaces[0].path.c_str(),
                                           GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  CUSBPort port;
  EXPECT_EQ(Find(port), 0);
}

}  // namespace
